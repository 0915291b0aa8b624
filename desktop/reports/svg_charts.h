// The overview report's charts as inline SVG: bars drawn as rectangles with their values
// written beside them, in one dark grey, so a chart reads the same on screen, in print and in
// black and white. The charts scale to the page's width.
#pragma once

#include <string>
#include <vector>

namespace vetra::desktop {

struct ChartBar {
    std::string label; // raw text; the chart escapes it
    long long value = 0;
};

// One horizontal bar per item, top to bottom, its label on the left (cut to fit) and its value
// at its end; bars are scaled to the largest value. `description` names the chart for screen
// readers.
std::string horizontalBarChart(const std::vector<ChartBar>& bars, const std::string& description);

// One column per value, left to right, scaled to the largest value, with that value marked on
// the vertical axis; `axisLabels` are written under the first, middle and last columns.
std::string columnChart(const std::vector<long long>& values,
                        const std::vector<std::string>& axisLabels, const std::string& description);

} // namespace vetra::desktop
