// DialogControl: the base of every control of a framework dialog: its link to the panel and dialog item,
// a grid of rows and columns of cells, geometry with a per-row cache of position and size, visibility,
// enabling, focus and font, all forwarded to the host dialog library's item functions.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include <FourCC.h>

#include "Environment/ControlLink.h"
#include "Environment/Publisher.h"
#include "Foundation/String.h"
#include "Interface/InterfacePanel.h"
#include "Interface/ScreenPoint.h"
#include "Interface/ScreenRect.h"

namespace tarnwick {

class ControlObserver;
class Image;
class Setting;
class TextStyle;

// The control's kind, as four characters; the panel keeps one host item observer per kind.
enum ControlType : std::uint32_t {
    kButtonControl = host::fourcc("BTTN"),
    kStaticTextControl = host::fourcc("STTX"),
    kEditTextControl = host::fourcc("EDTT"),
    kListControlType = host::fourcc("LSTC"),
    kPopupMenuControl = host::fourcc("POPM"),
    kUCPopupMenuControl = host::fourcc("UCPM"),
};

// A control made for a panel belongs to it (make() hands it over) and is deleted when the dialog closes
// or the panel goes; a copy (clone) belongs to its caller and joins no panel. Cell operations take
// (row, column) and use row 0 when none is given; they ignore invalid cells and return empty values.
// A control without a panel addresses dialog id 0. A row's cached position and size, once set, win over
// what the host reports, so a move is seen at once even before the host applies it.
class DialogControl : public Publisher {
public:
    static constexpr std::uint16_t kNoItem = ControlLink::kNoItem;

    // Makes a control of type T on the heap and hands it to the panel of its link, which owns it from
    // then on. Throws TracedException ("bad_access") for a link without a panel.
    template <typename T, typename... Args>
    static T& make(Args&&... args) {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T& made = *control;
        InterfacePanel* panel = made.getLink().getPanel();
        if (!panel) throwWithoutPanel();
        panel->addControl(std::move(control));
        return made;
    }

    DialogControl(const ControlLink& link, std::int16_t rows, std::uint16_t columns);
    DialogControl(const DialogControl& other);   // joins no panel
    DialogControl& operator=(const DialogControl&) = delete;

    // Virtual operations, in this order (after those of Publisher).
    ~DialogControl() override;
    virtual std::unique_ptr<DialogControl> clone() const = 0;
    virtual ControlLink getLink() const;
    virtual std::int16_t getDialogId() const;   // 0 without a panel
    virtual std::uint16_t getItemId(std::int16_t row = 0) const;
    virtual bool ownsItem(std::uint16_t itemId) const;
    virtual ScreenRect getRect(std::int16_t row = 0);
    virtual ScreenPoint getPosition(std::int16_t row = 0);
    virtual ScreenPoint getSize(std::int16_t row = 0);
    virtual std::int16_t getWidth(std::int16_t row = 0);
    virtual std::int16_t getHeight(std::int16_t row = 0);
    virtual bool isEnabled(std::int16_t row = 0) const;
    virtual bool isVisible(std::int16_t row = 0) const;
    virtual std::uint16_t getSelected(std::int16_t row = 0) const;   // 0 here
    virtual bool isSelected(std::int16_t row = 0) const;             // false here
    virtual bool isValidCell(std::int16_t row, std::int16_t column) const;
    // A new setting holding the cell's value; empty when the cell has none. The caller owns it.
    virtual std::unique_ptr<Setting> getSetting(std::int16_t row = 0, std::int16_t column = 0) const = 0;
    virtual String getText(std::int16_t row = 0, std::int16_t column = 0) const;   // empty here
    virtual Image getImage(std::int16_t row = 0, std::int16_t column = 0) const;   // empty here
    virtual void redraw(std::int16_t row = 0);
    // A control bound to a panel later joins it as a borrowed control: the panel dispatches to it and
    // gives it its host item, but does not delete it; it leaves the panel when either goes.
    virtual void bind(const ControlLink& link);
    virtual void setItemId(std::uint16_t itemId);   // only while the item id is unset
    virtual void moveAndResize(const ScreenRect& rect, std::int16_t row = 0);
    virtual void move(const ScreenPoint& point, std::int16_t row = 0);
    virtual void resize(const ScreenPoint& size, std::int16_t row = 0);
    virtual void setWidth(std::int16_t width, std::int16_t row = 0);
    virtual void setHeight(std::int16_t height, std::int16_t row = 0);
    virtual void setVisible(bool visible, std::int16_t row = 0);
    virtual void setEnabled(bool enabled, std::int16_t row = 0);
    virtual void setFlag(std::uint8_t flag);
    virtual void setFocus();
    virtual void moveBy(const ScreenPoint& delta, std::int16_t row = 0);
    virtual void growBy(const ScreenPoint& delta, std::int16_t row = 0);
    virtual void moveGrowBy(const ScreenPoint& grow, const ScreenPoint& move, std::int16_t row = 0);
    virtual void setFontStyle(std::int16_t hostFont);   // the host's font value for the whole item
    virtual bool setDimensions(std::int16_t rows, std::int16_t columns);
    virtual void setCell(const Setting& setting, std::int16_t row = 0, std::int16_t column = 0) = 0;
    virtual void setText(const String& text, std::int16_t row = 0, std::int16_t column = 0);   // nothing here
    virtual void setImage(const Image& image, std::int16_t row = 0,
                          std::int16_t column = 0);   // nothing here
    // The item's font from the style's point size and its style (bold, italic, underlined).
    virtual void setFont(const TextStyle& style, std::int16_t row = 0, std::int16_t column = 0);
    virtual std::uint32_t getControlType() const = 0;
    virtual std::unique_ptr<ControlObserver> makeObserver() const;   // null here
    virtual void createItem(std::int16_t hostPanel);                 // nothing here
    virtual void releaseItem();                                      // nothing here
    virtual bool hasPosition(std::int16_t row = 0) const;
    virtual bool hasSize(std::int16_t row = 0) const;
    virtual void setPosition(const ScreenPoint& point, std::int16_t row = 0);   // the cache only
    virtual void setSize(const ScreenPoint& size, std::int16_t row = 0);        // the cache only

    TextStyle getFont() const;   // the item's host font as a text style (11, 9 or 12 points)
    std::int16_t getRowCount() const { return rows_; }
    std::uint16_t getColumnCount() const { return columns_; }
    std::uint8_t getFlag() const { return flag_; }

private:
    friend class InterfacePanel;   // ends a borrowed control's membership when the panel closes or goes

    [[noreturn]] static void throwWithoutPanel();
    void sizeCaches();
    bool cached(const std::vector<bool>& bits, std::int16_t row) const;

    ControlLink link_;
    std::int16_t rows_;
    std::uint16_t columns_;
    std::uint8_t flag_ = 0;
    std::vector<ScreenPoint> sizes_;
    std::vector<ScreenPoint> positions_;
    std::vector<bool> sizeKnown_;
    std::vector<bool> positionKnown_;
    bool joined_ = false;            // borrowed by its panel (bind or setItemId); never true for a copy
    std::uint64_t panelOrder_ = 0;   // when it came into its panel's controls, owned or borrowed
};

}   // namespace tarnwick
