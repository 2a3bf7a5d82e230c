#include "Interface/FieldProxy.h"

#include <algorithm>
#include <iterator>

#include "Foundation/Setting.h"
#include "Foundation/TracedException.h"

namespace tarnwick {

FieldProxy::FieldProxy(DialogControl* defaultEditor, std::size_t capacity) {
    editors_[0] = defaultEditor;
    settings_.reserve(capacity);
}

FieldProxy::FieldProxy(const FieldProxy& other)
    : editable(other.editable), storeEdits(other.storeEdits), editors_(other.editors_) {
    settings_.reserve(other.settings_.size());
    for (const auto& setting : other.settings_) settings_.push_back(setting ? setting->clone() : nullptr);
}

FieldProxy& FieldProxy::operator=(const FieldProxy& other) {
    if (this != &other) {
        FieldProxy copy(other);
        *this = std::move(copy);
    }
    return *this;
}

FieldProxy::~FieldProxy() = default;

void FieldProxy::eraseRows(std::int32_t first, std::int32_t count) {
    const auto rows = static_cast<std::int32_t>(settings_.size());
    if (first >= rows) return;
    if (first < 0) {
        count += first;
        first = 0;
    }
    count = std::min(count, rows - first);
    if (count < 1) return;
    settings_.erase(settings_.begin() + first, settings_.begin() + first + count);
}

void FieldProxy::insertRows(std::int32_t first, std::int32_t count) {
    const auto rows = static_cast<std::int32_t>(settings_.size());
    if (first > rows) {
        count += first - rows;
        first = rows;
    }
    if (first < 0) {
        count += first;
        first = 0;
    }
    if (count < 1) return;
    std::vector<std::unique_ptr<Setting>> empty(static_cast<std::size_t>(count));
    settings_.insert(settings_.begin() + first, std::make_move_iterator(empty.begin()),
                     std::make_move_iterator(empty.end()));
}

Setting* FieldProxy::getSetting(std::int32_t row) {
    if (row < 0) throw TracedException("out_of_range", "FieldProxy::getSetting");
    if (static_cast<std::size_t>(row) >= settings_.size())
        settings_.resize(static_cast<std::size_t>(row) + 1);
    return settings_[static_cast<std::size_t>(row)].get();
}

void FieldProxy::setSetting(std::unique_ptr<Setting> setting, std::int32_t row) {
    if (row < 0) throw TracedException("out_of_range", "FieldProxy::setSetting");
    if (static_cast<std::size_t>(row) >= settings_.size())
        settings_.resize(static_cast<std::size_t>(row) + 1);
    settings_[static_cast<std::size_t>(row)] = std::move(setting);
}

DialogControl* FieldProxy::editor(std::uint32_t kind) { return editors_[kind]; }

void FieldProxy::setEditor(DialogControl* editor, std::uint32_t kind) { editors_[kind] = editor; }

}   // namespace tarnwick
