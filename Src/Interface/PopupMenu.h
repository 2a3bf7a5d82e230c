// PopupMenu: a popup menu item of a dialog: its items (text, icon, user value, enabled), the one chosen,
// and a walk over its items.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/Colour.h"
#include "Interface/ControlObserver.h"
#include "Interface/DialogControl.h"
#include "Interface/Image.h"
#include "Interface/ViewIterator.h"

namespace tarnwick {

class TextStyle;

// One row per item, one column; items count from 0 here and from 1 at the host, 65535 is none. Operations
// on an invalid item do nothing or give empty values. Item operations that also act on the whole control
// take -1 (setEnabled) or 65535 (setFont) for it. Copies share the host item. The style chooses the host
// popup: kDialogStyle the dialog library's own, any other the host's user-control popup of that kind,
// whose choice the control also remembers and shows (check mark, button text and icon by the kind).
class PopupMenu : public DialogControl {
public:
    static constexpr std::int32_t kDialogStyle = -1;   // the dialog library's own popup
    static constexpr std::uint16_t kNone = 65535;

    // An item cursor: the popup (not owned) and an index, -1 before the first or past the last.
    class Node {
    public:
        static constexpr const char* kIteratorName = "PopupMenu::iterator";
        static constexpr const char* kConstIteratorName = "PopupMenu::const_iterator";

        Node(const PopupMenu* popup, std::int16_t index)
            : popup_(const_cast<PopupMenu*>(popup)), index_(index) {}
        virtual ~Node() = default;
        Node(const Node&) = default;
        Node& operator=(const Node&) = default;

        String getText() const;
        Image getImage() const;
        std::unique_ptr<Setting> getSetting() const;
        Colour getColor() const;
        void setImage(const Image& image);
        bool moveForward(std::int32_t mode);    // throws at the end
        bool moveBackward(std::int32_t mode);   // throws at the end

        bool hasOwner() const { return popup_ != nullptr; }
        bool isValid() const;
        std::int16_t getIndex() const { return index_; }

    private:
        PopupMenu* popup_;
        std::int16_t index_;
    };

    using iterator = ViewIterator<Node>;
    using const_iterator = ViewIterator<const Node>;

    // The host observer of every dialog-library popup of a panel: a change of choice becomes an ItemEvent.
    class DGObserver : public ControlObserver {
    public:
        void attach(std::int16_t hostPanel, DialogControl& control) override;
        void itemChanged(std::int16_t panel, std::int16_t item) override;
    };
    // The same for the user-control popups of a panel.
    class UCObserver : public ControlObserver {
    public:
        void attach(std::int16_t hostPanel, DialogControl& control) override;
        void itemChanged(std::int16_t panel, std::int16_t item) override;
    };

    // A count of 1 or more brings the host popup to that many items; 0 keeps the host's.
    PopupMenu(const ControlLink& link, std::int16_t itemCount = 0, std::int32_t style = kDialogStyle);
    PopupMenu(const PopupMenu& other);   // shares the host item

    bool publish(const Event& event) override;   // re-applies the host's choice before the subscribers
    std::unique_ptr<DialogControl> clone() const override;
    std::uint16_t getSelected(std::int16_t minimum = 0) const override;   // 65535 when below minimum or none
    bool isSelected(std::int16_t index = 0) const override;
    std::unique_ptr<Setting> getSetting(std::int16_t row = 0,
                                        std::int16_t column = 0) const override;   // a MenuSetting
    String getText(std::int16_t index = 0, std::int16_t column = 0) const override;
    Image getImage(std::int16_t index = 0, std::int16_t column = 0) const override;
    void setEnabled(bool enabled, std::int16_t index = -1) override;   // -1: the whole popup
    bool setDimensions(std::int16_t items, std::int16_t columns = 1) override;
    void setCell(const Setting& setting, std::int16_t row = 0, std::int16_t column = 0) override;
    void setText(const String& text, std::int16_t index = 0, std::int16_t column = 0) override;
    void setImage(const Image& image, std::int16_t index = 0, std::int16_t column = 0) override;
    // Index 65535: the font of the whole popup; else the item's style.
    void setFont(const TextStyle& style, std::int16_t index = 0, std::int16_t column = 0) override;
    std::uint32_t getControlType() const override {   // one host observer per back-end
        return isDGPopup() ? kPopupMenuControl : kUCPopupMenuControl;
    }
    std::unique_ptr<ControlObserver> makeObserver() const override;
    void createItem(std::int16_t hostPanel) override;
    void releaseItem() override;

    // Own operations, in this order.
    virtual const_iterator begin(std::int32_t mode) const;
    virtual iterator begin(std::int32_t mode);
    virtual const_iterator end() const;
    virtual iterator end();
    virtual const_iterator rbegin(std::int32_t mode) const;
    virtual iterator rbegin(std::int32_t mode);
    virtual std::int32_t getStyle() const;
    virtual bool isDGPopup() const;
    virtual String getSelectedText() const;
    virtual Colour getItemColor(std::int16_t index) const;   // opaque black
    virtual std::int64_t getItemData(std::int16_t index) const;
    virtual String selectText(const String& text, std::uint16_t fallback);   // the text chosen
    virtual void select(bool on, std::uint16_t index);
    virtual void setItemData(std::int64_t value, std::int16_t index);
    virtual bool appendItem(const String& text, std::int16_t iconResourceId = 0, std::int64_t userValue = 0);
    virtual bool appendItems(std::int16_t count);
    virtual bool deleteItems(std::int16_t start, std::int16_t count);
    virtual bool insertItems(std::uint16_t after, std::int16_t count);   // 65535: at the end

    std::uint16_t findItem(const String& text) const;   // the last item of that text; 65535: none
    void insertSeparator(std::uint16_t index);          // it takes the index; the items from there move up

private:
    bool validItem(std::int32_t index) const { return isValidCell(static_cast<std::int16_t>(index), 0); }
    std::int16_t dialog() const { return getDialogId(); }
    std::int16_t item() const { return static_cast<std::int16_t>(getItemId()); }
    static std::int16_t hostCount(const ControlLink& link, std::int32_t style);

    bool isUC() const { return style_ != kDialogStyle; }

    std::int16_t hostItem_ = 0;   // the host panel of the item made for it; 0: none
    std::int32_t style_;
    std::uint16_t remembered_ = kNone;   // user-control popups: the index last selected here
};

}   // namespace tarnwick
