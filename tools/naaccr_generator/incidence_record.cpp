#include "tools/naaccr_generator/incidence_record.h"

#include <algorithm>

namespace vetra::generator {

void IncidenceRecord::clear() {
    std::fill(text_.begin(), text_.end(), ' ');
}

void IncidenceRecord::set(long item, std::string_view value) {
    const FieldPlacement* field = layout_->find(item);
    if (field == nullptr) return;
    auto first = text_.begin() + (field->firstColumn - 1);
    auto length = static_cast<std::size_t>(field->length);
    value = value.substr(0, length);
    std::copy(value.begin(), value.end(), first);
    std::fill(first + static_cast<std::ptrdiff_t>(value.size()),
              first + static_cast<std::ptrdiff_t>(length), ' ');
}

std::string_view IncidenceRecord::get(long item) const {
    const FieldPlacement* field = layout_->find(item);
    if (field == nullptr) return {};
    return std::string_view(text_).substr(static_cast<std::size_t>(field->firstColumn - 1),
                                          static_cast<std::size_t>(field->length));
}

} // namespace vetra::generator
