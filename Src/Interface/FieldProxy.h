// FieldProxy: one list column's typed values: a Setting per row and the field editors that edit them in
// place, keyed by setting kind (0: the column's default editor).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "Foundation/Setting.h"

namespace tarnwick {

class DialogControl;

// Owns its settings, never its editors (controls of the panel); a copy shares the editors and copies the
// settings. Row arguments are 0-based.
class FieldProxy {
public:
    explicit FieldProxy(DialogControl* defaultEditor = nullptr, std::size_t capacity = 0);
    FieldProxy(const FieldProxy& other);
    FieldProxy& operator=(const FieldProxy& other);
    FieldProxy(FieldProxy&&) noexcept = default;
    FieldProxy& operator=(FieldProxy&&) noexcept = default;

    // Virtual operations, in this order.
    virtual ~FieldProxy();
    virtual void eraseRows(std::int32_t first, std::int32_t count);
    virtual void insertRows(std::int32_t first, std::int32_t count);

    // The row's setting, or null; a row past the end first grows the store. A negative row throws
    // TracedException ("out_of_range", "FieldProxy::getSetting").
    Setting* getSetting(std::int32_t row);
    // Replaces the row's setting (null: none), growing the store; a negative row throws
    // ("FieldProxy::setSetting").
    void setSetting(std::unique_ptr<Setting> setting, std::int32_t row);
    DialogControl* editor(std::uint32_t kind);   // null when none (an empty entry is added)
    void setEditor(DialogControl* editor, std::uint32_t kind);
    void setDefaultEditor(DialogControl* editor) { setEditor(editor, 0); }
    const std::map<std::uint32_t, DialogControl*>& getEditors() const { return editors_; }
    std::size_t getRowCount() const { return settings_.size(); }

    bool editable = true;     // the default editor is laid onto the tab field
    bool storeEdits = true;   // leaving a row writes the editors' values back

private:
    std::map<std::uint32_t, DialogControl*> editors_;
    std::vector<std::unique_ptr<Setting>> settings_;
};

}   // namespace tarnwick
