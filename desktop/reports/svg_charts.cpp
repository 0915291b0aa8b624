#include "desktop/reports/svg_charts.h"

#include "desktop/reports/html_text.h"

#include <algorithm>
#include <cstdio>

namespace vetra::desktop {

namespace {

constexpr double kChartWidth = 800;
constexpr double kLabelWidth = 300; // the label column of a horizontal bar chart
constexpr double kValueWidth = 80;  // room for the value after the longest bar
constexpr double kRowHeight = 20;
constexpr double kBarHeight = 14;
constexpr std::size_t kLabelCharacters = 44; // what fits the label column at 12px
constexpr double kPlotLeft = 70;
constexpr double kPlotTop = 10;
constexpr double kPlotHeight = 200;
constexpr double kColumnChartHeight = kPlotTop + kPlotHeight + 30;
constexpr const char* kBarColour = "#3a3a3a";

std::string decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string svgStart(double height, const std::string& description) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" width=\"" +
           decimal(kChartWidth) + "\" height=\"" + decimal(height) + "\" viewBox=\"0 0 " +
           decimal(kChartWidth) + " " + decimal(height) + "\" role=\"img\" aria-label=\"" +
           htmlAttribute(description) + "\">\n<title>" + htmlText(description) + "</title>\n";
}

std::string rectangle(double x, double y, double width, double height) {
    return "<rect x=\"" + decimal(x) + "\" y=\"" + decimal(y) + "\" width=\"" + decimal(width) +
           "\" height=\"" + decimal(height) + "\" fill=\"" + kBarColour + "\"/>\n";
}

std::string text(double x, double y, const char* anchor, const std::string& escapedText) {
    return "<text x=\"" + decimal(x) + "\" y=\"" + decimal(y) + "\" text-anchor=\"" + anchor +
           "\">" + escapedText + "</text>\n";
}

long long largest(const std::vector<long long>& values) {
    long long most = 0;
    for (const long long value : values)
        most = std::max(most, value);
    return most;
}

} // namespace

std::string horizontalBarChart(const std::vector<ChartBar>& bars, const std::string& description) {
    const double height = kRowHeight * static_cast<double>(bars.size()) + 4;
    std::string svg = svgStart(height, description);
    long long most = 0;
    for (const ChartBar& bar : bars)
        most = std::max(most, bar.value);
    const double scale = most > 0 ? (kChartWidth - kLabelWidth - kValueWidth) / most : 0;
    double y = 2;
    for (const ChartBar& bar : bars) {
        const double width = std::max(0LL, bar.value) * scale;
        const double baseline = y + kBarHeight - 3;
        svg += text(kLabelWidth - 8, baseline, "end", htmlText(bar.label, kLabelCharacters));
        if (width > 0) svg += rectangle(kLabelWidth, y, width, kBarHeight);
        svg += text(kLabelWidth + width + 6, baseline, "start", groupedNumber(bar.value));
        y += kRowHeight;
    }
    return svg + "</svg>\n";
}

std::string columnChart(const std::vector<long long>& values,
                        const std::vector<std::string>& axisLabels,
                        const std::string& description) {
    std::string svg = svgStart(kColumnChartHeight, description);
    const long long most = largest(values);
    const double plotWidth = kChartWidth - kPlotLeft - 10;
    const double pitch = values.empty() ? 0 : plotWidth / static_cast<double>(values.size());
    const double bottom = kPlotTop + kPlotHeight;
    svg += "<line x1=\"" + decimal(kPlotLeft) + "\" y1=\"" + decimal(bottom) + "\" x2=\"" +
           decimal(kPlotLeft + plotWidth) + "\" y2=\"" + decimal(bottom) +
           "\" stroke=\"#000\" stroke-width=\"1\"/>\n";
    svg += "<line x1=\"" + decimal(kPlotLeft) + "\" y1=\"" + decimal(kPlotTop) + "\" x2=\"" +
           decimal(kPlotLeft + plotWidth) + "\" y2=\"" + decimal(kPlotTop) +
           "\" stroke=\"#999\" stroke-width=\"0.5\" stroke-dasharray=\"4 3\"/>\n";
    svg += text(kPlotLeft - 6, kPlotTop + 4, "end", groupedNumber(most));
    svg += text(kPlotLeft - 6, bottom, "end", "0");
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] <= 0 || most == 0) continue;
        const double height = kPlotHeight * static_cast<double>(values[i]) / most;
        svg += rectangle(kPlotLeft + pitch * static_cast<double>(i) + 1, bottom - height,
                         std::max(1.0, pitch - 2), height);
    }
    if (!values.empty()) {
        const std::size_t positions[] = {0, values.size() / 2, values.size() - 1};
        const char* anchors[] = {"start", "middle", "end"};
        for (std::size_t k = 0; k < 3 && k < axisLabels.size(); ++k) {
            const double centre = kPlotLeft + pitch * (static_cast<double>(positions[k]) + 0.5);
            const double x = k == 0 ? kPlotLeft : k == 2 ? kPlotLeft + plotWidth : centre;
            svg += text(x, bottom + 18, anchors[k], htmlText(axisLabels[k]));
        }
    }
    return svg + "</svg>\n";
}

} // namespace vetra::desktop
