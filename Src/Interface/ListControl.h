// ListControl: the framework's table control over a host list box: rows of tab fields (cells), a layout
// of its columns, a selection of several rows, and typed cells: a column may carry a FieldProxy that keeps
// one Setting per row and field editors, other controls of the panel that the list lays onto the tab
// fields of its edit row, so that a cell is edited in place.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "Foundation/Colour.h"
#include "Interface/DialogControl.h"
#include "Interface/Image.h"
#include "Interface/ScreenPoint.h"
#include "Interface/ViewIterator.h"

namespace tarnwick {

class FieldProxy;
class TextStyle;

// Rows and columns count from 0 here and from 1 at the host; 65535 means no row or column (and, where
// said, all rows or the end). At most 32767 rows. The list owns its column properties, its proxies and
// every stored cell setting; its field editors belong to the panel. Row and cell operations ignore an
// invalid row or cell and give neutral values.
class ListControl : public DialogControl {
public:
    static constexpr std::uint16_t kNone = 65535;
    static constexpr std::int16_t kMaxRows = 32767;

    // The layout of one column.
    class ColumnProperty {
    public:
        // Neither a width nor a weight: weight 1.0, a share of the free width.
        explicit ColumnProperty(std::uint16_t width = 0, double weight = 0.0, std::int32_t justification = 0,
                                std::int32_t truncation = 0);
        virtual ~ColumnProperty() = default;
        ColumnProperty(const ColumnProperty&) = default;
        ColumnProperty& operator=(const ColumnProperty&) = default;

        bool isFixed() const;   // weight 0: the width is kept

        double weight;
        std::uint16_t width;
        std::uint16_t begin = 0;   // set by the layout
        std::int32_t justification;
        std::int32_t truncation;
        bool enabled = true;
    };

    // One property per column, owned; a copy copies every property.
    class ColumnPropertyList {
    public:
        ColumnPropertyList() = default;
        ColumnPropertyList(const ColumnPropertyList& other);
        ColumnPropertyList& operator=(const ColumnPropertyList&) = delete;

        std::size_t size() const { return properties_.size(); }
        ColumnProperty& operator[](std::size_t i) const { return *properties_[i]; }
        void insert(std::size_t at, const ColumnProperty& model, std::size_t count);
        void erase(std::size_t at, std::size_t count);

    private:
        std::vector<std::unique_ptr<ColumnProperty>> properties_;
    };

    class ProxyList;   // ListProxyList.h
    class Observer;    // ListControlObserver.h

    // A row cursor: the list (not owned; the node must not outlive it) and a row, -1 at the end.
    class Node {
    public:
        static constexpr const char* kIteratorName = "ListControl::iterator";
        static constexpr const char* kConstIteratorName = "ListControl::const_iterator";

        Node(const ListControl* control, std::int16_t row)
            : control_(const_cast<ListControl*>(control)), row_(row) {}
        virtual ~Node() = default;
        Node(const Node&) = default;
        Node& operator=(const Node&) = default;

        // Virtual operations, in this order.
        virtual void setImage(const Image& image, std::int16_t column);
        virtual void setBackgroundColor(const Colour& colour);

        std::unique_ptr<Setting> getSetting(std::int16_t column) const;   // the caller owns it
        String getText(std::int16_t column) const;
        Colour getColor() const;
        Image getIcon(std::int16_t column) const;
        bool isSelected() const;
        std::int64_t getUserData() const;
        void setSetting(const Setting& setting, std::int16_t column);
        void setStyle(const TextStyle& style, std::int16_t column);
        void select(bool on);
        void setUserData(std::int64_t value);
        bool isEnd() const { return !isValid(); }
        // One row on (back); in mode 2 to the next (previous) selected row. Whether a row is reached; at
        // the end they throw TracedException ("out_of_range").
        bool moveForward(std::int32_t mode);
        bool moveBackward(std::int32_t mode);

        bool hasOwner() const { return control_ != nullptr; }
        bool isValid() const;
        std::int16_t getIndex() const { return row_; }
        std::int16_t getRow() const { return row_; }

    private:
        ListControl* control_;
        std::int16_t row_;
    };

    using iterator = ViewIterator<Node>;
    using const_iterator = ViewIterator<const Node>;

    ListControl(const ControlLink& link, std::uint16_t rows, std::int16_t columns,
                const ColumnProperty& model = ColumnProperty());
    ListControl(const ListControl& other);   // shares the host list; copies properties and proxies
    ~ListControl() override;

    // --- Operations of DialogControl --------------------------------------------------------------------
    bool publish(const Event& event) override;
    std::unique_ptr<DialogControl> clone() const override;
    std::uint16_t getSelected(std::int16_t row = 0) const override;   // first selected at or after row
    bool isSelected(std::int16_t row = 0) const override;
    std::unique_ptr<Setting> getSetting(std::int16_t row = 0, std::int16_t column = 0) const override;
    String getText(std::int16_t row = 0,
                   std::int16_t column = 0) const override;   // the cell's value as text
    Image getImage(std::int16_t row = 0,
                   std::int16_t column = 0) const override;   // empty for a column with a text editor
    void redraw(std::int16_t row = 0) override;               // 65535: the whole list
    void redraw(std::int16_t row, std::int16_t column);       // column 65535: the whole row
    void growBy(const ScreenPoint& delta, std::int16_t row = 0) override;
    void moveGrowBy(const ScreenPoint& grow, const ScreenPoint& move, std::int16_t row = 0) override;
    bool setDimensions(std::int16_t rows, std::int16_t columns) override;
    // A popup column takes only a setting or a text that is one of its items, and a row's stored value only
    // a text it can hold: any other leaves the cell as it was.
    void setCell(const Setting& setting, std::int16_t row = 0, std::int16_t column = 0) override;
    void setText(const String& text, std::int16_t row = 0, std::int16_t column = 0) override;
    void setImage(const Image& image, std::int16_t row = 0, std::int16_t column = 0) override;
    // Row 65535: the font of the whole list; else the row's style and colour.
    void setFont(const TextStyle& style, std::int16_t row = 0, std::int16_t column = 0) override;
    std::uint32_t getControlType() const override { return kListControlType; }
    std::unique_ptr<ControlObserver> makeObserver() const override;
    void createItem(std::int16_t hostPanel) override;
    void releaseItem() override;

    // --- Own operations, in this order ----------------------------------------------------------------
    virtual const_iterator begin(std::int32_t mode) const;
    virtual iterator begin(std::int32_t mode);
    virtual const_iterator end() const;
    virtual iterator end();
    virtual const_iterator rbegin(std::int32_t mode) const;
    virtual iterator rbegin(std::int32_t mode);
    virtual Colour getColor(std::int16_t row) const;   // opaque black for an invalid row
    virtual std::int16_t getStatus(std::int16_t row) const;
    virtual std::int64_t getUserData(std::int16_t row) const;
    virtual std::int16_t getHScrollPosition() const;
    virtual std::int16_t getScrollPosition() const;   // the first row shown
    virtual ScreenPoint getLastClick() const;
    virtual std::uint16_t columnAt(const ScreenPoint& point, bool inList) const;   // 65535: none
    virtual std::uint16_t rowAt(const ScreenPoint& point, bool inList) const;      // 65535: none
    virtual void select(bool on, std::int16_t row);
    virtual void selectAll();
    virtual void deselectAll();
    virtual void clearCell(std::int16_t row, std::int16_t column);
    virtual void setColor(const Colour& colour, std::int16_t row);
    virtual void setStatus(std::int16_t status, std::int16_t row);
    virtual void setUserData(std::int64_t value, std::int16_t row);
    virtual void setHScrollPosition(std::int16_t position);
    virtual void setScrollPosition(std::int16_t position);
    virtual void setBackgroundColor(const Colour& colour, std::int16_t row);
    virtual bool appendRows(std::int16_t count);
    virtual bool deleteRows(std::int16_t first, std::int16_t count);
    virtual bool insertRows(std::int16_t first, std::int16_t count);   // false past 32767 rows
    virtual bool appendColumns(const ColumnProperty& model, std::int16_t count);
    virtual bool insertColumns(std::int16_t first, const ColumnProperty& model, std::int16_t count);
    virtual bool deleteColumns(std::int16_t first, std::int16_t count);
    virtual void setColumnGap(std::uint16_t pixels);
    virtual std::uint16_t getColumnGap() const;
    virtual std::int16_t getItemHeight() const;
    virtual void getHeaderFlags(bool& a, bool& b, bool& c) const;
    virtual std::int16_t getHeaderHeight() const;
    virtual std::int16_t getHeaderItemCount() const;
    virtual String getHeaderText(std::int16_t column) const;
    virtual std::int16_t getHeaderSize(std::int16_t column) const;
    virtual std::int16_t getHeaderArrow(std::int16_t column) const;
    virtual void setHeaderFlags(bool a, bool b, bool c);
    virtual void setHeaderItemCount(std::int16_t count);
    virtual void setHeaderText(const String& text, std::int16_t column);
    virtual void setHeaderFont(const TextStyle& style, std::int16_t column);
    virtual void setHeaderFlags(std::int16_t column, std::int32_t flags, bool on);
    virtual std::int16_t setHeaderSize(std::int16_t size, std::int16_t column);
    virtual void setHeaderMinSize(std::int16_t size, std::int16_t column);
    virtual void setHeaderArrow(std::int16_t arrow, std::int16_t column);
    virtual void setOwnerDraw(bool ownerDraw, std::int16_t column);   // nothing before the host item exists
    // Binds an editor (a control of this panel with a lower item id) to a column under a setting kind
    // (0: the column's default editor). False for another dialog's control, an item id not below the
    // list's, or a column past the end.
    virtual bool setFieldEditor(DialogControl* editor, std::int16_t column, std::uint32_t kind = 0);
    virtual String getCellText(std::int16_t row, std::int16_t column) const;   // the host cell's text
    // The editor of a cell: for the row's stored kind, else the real kind's for a real, else the default.
    virtual DialogControl* findEditor(std::int16_t column, std::int16_t row) const;
    virtual void hideEditors();
    virtual void setCellText(const String& text, std::int16_t row, std::int16_t column);
    virtual bool loadEditor(DialogControl& editor, const Setting& setting);

    // --- Further operations -------------------------------------------------------------------------------
    void setColumnProperties(const ColumnProperty& model, std::int16_t column);   // throws out of range
    void setColumn(const ColumnProperty& model, DialogControl* editor, std::int16_t column);
    const ColumnProperty& getColumnStyle(std::int16_t column) const;   // throws out of range
    void applyColumns();
    void enableDraw(bool on);
    FieldProxy* getProxy(std::int16_t column) const;   // null when none or disabled; throws out of range
    void setProxiesEnabled(bool on);
    void setFieldEditorsShown(bool shown, std::uint16_t column);   // 65535: every column
    void setStoreEdits(bool on, std::int16_t column);
    bool isFieldEditable(std::int16_t column) const;
    DialogControl* getFieldEditor(std::int16_t column, std::uint32_t kind) const;
    void attachEditor(std::uint16_t row);   // moves the editors to the row (65535: none)
    bool ensureProxies();
    std::uint16_t getEditRow() const { return editRow_; }

private:
    std::int16_t dialog() const { return getDialogId(); }
    std::int16_t item() const { return static_cast<std::int16_t>(getItemId()); }
    bool validRow(std::int16_t row) const { return row >= 0 && row < getRowCount(); }
    void layEditor(std::int16_t column, DialogControl* editor, bool shown);
    void relayEditors();
    void noteLoaded(const DialogControl& editor, const Setting& value);   // into the edit row's editor

    std::int16_t listBox_ = 0;   // the host panel of the list item made for it; shared by copies
    std::unique_ptr<ColumnPropertyList> columnProperties_;
    std::unique_ptr<ProxyList> proxies_;
    std::uint16_t editRow_ = kNone;
    // Popups laid on the edit row with a value they have no item for, and the choice they kept then: until
    // the user chooses another, that choice is not the row's value.
    std::map<const DialogControl*, std::uint16_t> staleChoices_;
    ScreenPoint lastClick_;
    std::uint16_t columnGap_ = 4;
    bool proxiesEnabled_ = true;
    bool columnsChanged_ = false;
};

}   // namespace tarnwick
