#include "Interface/ListControl.h"

#include <algorithm>
#include <cmath>

#include <HostDialogLibrary.h>

#include "Environment/InterfaceEvent.h"
#include "Environment/ItemEvent.h"
#include "Foundation/RealSetting.h"
#include "Foundation/Setting.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TracedException.h"
#include "Foundation/VoidSetting.h"
#include "Interface/ActionEvent.h"
#include "Interface/DialogEvent.h"
#include "Interface/FieldProxy.h"
#include "Interface/HostFontStyle.h"
#include "Interface/ListClickRecord.h"
#include "Interface/ListControlObserver.h"
#include "Interface/ListProxyList.h"
#include "Interface/MenuSetting.h"
#include "Interface/PopupMenu.h"
#include "Project/TextStyle.h"

namespace tarnwick {
namespace {

constexpr double kWeightTolerance = 0.00001;   // a weight this close to 0 makes a fixed column
constexpr std::int32_t kScrollBarWidth = 17;

Colour fromWords(std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
    return Colour(red, green, blue, std::uint16_t{65535});
}

const DialogControl* defaultEditor(const FieldProxy* proxy) {   // null: no proxy, or no editor of kind 0
    if (!proxy) return nullptr;
    const auto found = proxy->getEditors().find(0);
    return found == proxy->getEditors().end() ? nullptr : found->second;
}

// The editor of a column for a value of its kind: its own kind's, else the real kind's for a real, else the
// default.
DialogControl* editorFor(const FieldProxy& proxy, const Setting* value) {
    const auto& editors = proxy.getEditors();
    const auto editorOf = [&](std::uint32_t kind) -> DialogControl* {
        const auto found = editors.find(kind);
        return found == editors.end() ? nullptr : found->second;
    };
    if (!value) return editorOf(0);
    if (DialogControl* own = editorOf(static_cast<std::uint32_t>(value->getKind()))) return own;
    if (dynamic_cast<const RealSetting*>(value))
        if (DialogControl* real = editorOf(static_cast<std::uint32_t>(SettingKind::real))) return real;
    return editorOf(0);   // a column with only its default editor keeps it on every row
}

// Whether a popup can show a value: a choice of one of its items, or any other value whose text is an item.
bool holds(const PopupMenu& popup, const Setting& value) {
    if (const auto* menu = dynamic_cast<const MenuSetting*>(&value))
        return menu->getIndex() >= 0 && menu->getIndex() < popup.getRowCount() &&
               popup.getText(static_cast<std::int16_t>(menu->getIndex())) == value.getText();
    return popup.findItem(value.getText()) != PopupMenu::kNone;
}

// Whether an editor still shows the choice it kept when loaded with a value it had no item for.
bool keepsStaleChoice(const std::map<const DialogControl*, std::uint16_t>& stale,
                      const DialogControl& editor) {
    const auto found = stale.find(&editor);
    const auto* popup = dynamic_cast<const PopupMenu*>(&editor);
    return found != stale.end() && popup && popup->getSelected(0) == found->second;
}

}   // namespace

// --- Column properties ----------------------------------------------------------------------------
ListControl::ColumnProperty::ColumnProperty(std::uint16_t width, double weight, std::int32_t justification,
                                            std::int32_t truncation)
    : weight(width == 0 && std::abs(weight) <= kWeightTolerance ? 1.0 : weight),
      width(width),
      justification(justification),
      truncation(truncation) {}

bool ListControl::ColumnProperty::isFixed() const { return std::abs(weight) <= kWeightTolerance; }

ListControl::ColumnPropertyList::ColumnPropertyList(const ColumnPropertyList& other) {
    for (const auto& property : other.properties_)
        properties_.push_back(std::make_unique<ColumnProperty>(*property));
}

void ListControl::ColumnPropertyList::insert(std::size_t at, const ColumnProperty& model, std::size_t count) {
    std::vector<std::unique_ptr<ColumnProperty>> added;
    for (std::size_t i = 0; i < count; ++i) added.push_back(std::make_unique<ColumnProperty>(model));
    properties_.insert(properties_.begin() + static_cast<std::ptrdiff_t>(std::min(at, properties_.size())),
                       std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
}

void ListControl::ColumnPropertyList::erase(std::size_t at, std::size_t count) {
    if (at >= properties_.size()) return;
    count = std::min(count, properties_.size() - at);
    properties_.erase(properties_.begin() + static_cast<std::ptrdiff_t>(at),
                      properties_.begin() + static_cast<std::ptrdiff_t>(at + count));
}

// --- Nodes -------------------------------------------------------------------------------------------
bool ListControl::Node::isValid() const { return control_ && row_ >= 0 && row_ < control_->getRowCount(); }

void ListControl::Node::setImage(const Image& image, std::int16_t column) {
    if (isValid()) control_->setImage(image, row_, column);
}

void ListControl::Node::setBackgroundColor(const Colour& colour) {
    if (isValid()) control_->setBackgroundColor(colour, row_);
}

std::unique_ptr<Setting> ListControl::Node::getSetting(std::int16_t column) const {
    return isValid() ? control_->getSetting(row_, column) : nullptr;
}

String ListControl::Node::getText(std::int16_t column) const {
    return isValid() ? control_->getText(row_, column) : String();
}

Colour ListControl::Node::getColor() const {
    return isValid() ? control_->getColor(row_) : Colour(0.0, 0.0, 0.0, 1.0);
}

Image ListControl::Node::getIcon(std::int16_t column) const {
    return isValid() ? control_->getImage(row_, column) : Image();
}

bool ListControl::Node::isSelected() const { return isValid() && control_->isSelected(row_); }

std::int64_t ListControl::Node::getUserData() const { return isValid() ? control_->getUserData(row_) : 0; }

void ListControl::Node::setSetting(const Setting& setting, std::int16_t column) {
    if (isValid()) control_->setCell(setting, row_, column);
}

void ListControl::Node::setStyle(const TextStyle& style, std::int16_t column) {
    if (isValid()) control_->setFont(style, row_, column);
}

void ListControl::Node::select(bool on) {
    if (isValid()) control_->select(on, row_);
}

void ListControl::Node::setUserData(std::int64_t value) {
    if (isValid()) control_->setUserData(value, row_);
}

bool ListControl::Node::moveForward(std::int32_t mode) {
    if (!isValid()) throw TracedException("out_of_range", "ListControl::Node::moveForward");
    ++row_;
    if (mode == 2) row_ = static_cast<std::int16_t>(control_->getSelected(row_));
    return isValid();
}

bool ListControl::Node::moveBackward(std::int32_t mode) {
    if (!isValid()) throw TracedException("out_of_range", "ListControl::Node::moveBackward");
    --row_;
    if (mode == 2)
        while (isValid() && !control_->isSelected(row_)) --row_;
    return isValid();
}

// --- Construction ------------------------------------------------------------------------------------
ListControl::ListControl(const ControlLink& link, std::uint16_t rows, std::int16_t columns,
                         const ColumnProperty& model)
    : DialogControl(link, 0, 0), columnProperties_(std::make_unique<ColumnPropertyList>()) {
    // Through the list's own resizing: the rows reach the host list too, and the columns are laid out at
    // the first redraw. More rows than the list may hold make none, as inserting them would.
    ListControl::setDimensions(static_cast<std::int16_t>(rows), std::max<std::int16_t>(columns, 1));
    for (std::int16_t c = 0; c < static_cast<std::int16_t>(getColumnCount()); ++c)
        setColumnProperties(model, c);
}

ListControl::ListControl(const ListControl& other)
    : DialogControl(other),
      listBox_(other.listBox_),
      columnProperties_(std::make_unique<ColumnPropertyList>(*other.columnProperties_)),
      proxies_(other.proxies_ ? std::make_unique<ProxyList>(*other.proxies_) : nullptr),
      editRow_(other.editRow_),
      staleChoices_(other.staleChoices_),
      columnGap_(other.columnGap_),
      proxiesEnabled_(other.proxiesEnabled_),
      columnsChanged_(other.columnsChanged_) {}

ListControl::~ListControl() = default;

std::unique_ptr<DialogControl> ListControl::clone() const { return std::make_unique<ListControl>(*this); }

// --- Events ------------------------------------------------------------------------------------------
bool ListControl::publish(const Event& event) {
    if (const auto* action = dynamic_cast<const ActionEvent*>(&event)) {
        const ListClickRecord click = ListClickRecord::unpack(action->getValue());
        lastClick_ = ScreenPoint(click.x, click.y);
    }
    if (proxies_) {
        if (const auto* interfaceEvent = dynamic_cast<const InterfaceEvent*>(&event)) {
            if (interfaceEvent->getMethod() == DialogEvent::kOpened) {
                hideEditors();
            } else if (interfaceEvent->getMethod() == ItemEvent::kMethod && !interfaceEvent->hasValue()) {
                attachEditor(getSelected(0));
                redraw(static_cast<std::int16_t>(kNone));
            }
        }
    }
    return Publisher::publish(event);
}

// --- Selection ------------------------------------------------------------------------------------------
std::uint16_t ListControl::getSelected(std::int16_t row) const {
    if (!validRow(row)) return kNone;
    const std::int16_t found = host::DGListGetSelected(dialog(), item(), static_cast<std::int16_t>(row + 1));
    return found == 0 ? kNone : static_cast<std::uint16_t>(found - 1);
}

bool ListControl::isSelected(std::int16_t row) const {
    return validRow(row) &&
           host::DGListGetSelected(dialog(), item(), static_cast<std::int16_t>(row + 1)) == row + 1;
}

void ListControl::select(bool on, std::int16_t row) {
    if (!validRow(row)) return;
    if (on)
        host::DGListSelectItem(dialog(), item(), static_cast<std::int16_t>(row + 1));
    else
        host::DGListDeselectItem(dialog(), item(), static_cast<std::int16_t>(row + 1));
    const std::int16_t first = host::DGListGetSelected(dialog(), item(), 1);
    const std::uint16_t firstRow = first == 0 ? kNone : static_cast<std::uint16_t>(first - 1);
    // The editors go to the first selected row, where the host lays them: left on a row no longer
    // selected, what the user types there would be written into that row.
    if (firstRow != editRow_) attachEditor(firstRow);
}

void ListControl::selectAll() { host::DGListSelectItem(dialog(), item(), 0); }

void ListControl::deselectAll() { host::DGListDeselectItem(dialog(), item(), 0); }

// --- Cells ---------------------------------------------------------------------------------------------
std::unique_ptr<Setting> ListControl::getSetting(std::int16_t row, std::int16_t column) const {
    if (!isValidCell(row, column)) return nullptr;
    // The edit row's value is the one in its editor, whatever kind the editor is filed under: the cell
    // text follows only when the editors leave the row. A popup that kept another row's choice does not
    // hold the row's value.
    if (row == static_cast<std::int16_t>(editRow_))
        if (DialogControl* editor = findEditor(column, row))
            if (!keepsStaleChoice(staleChoices_, *editor))
                if (auto value = editor->getSetting(0, 0)) return value;
    FieldProxy* proxy = getProxy(column);
    DialogControl* editor = proxy ? proxy->getEditors().at(0) : nullptr;
    if (!editor) return std::make_unique<StringSetting>(getCellText(row, column));
    if (Setting* stored = proxy->getSetting(row)) return stored->clone();
    // Parsed from the cell text by the editor; its own content is put back, so a value the user is
    // typing there is not lost.
    const StringSetting cell(getCellText(row, column));
    const std::unique_ptr<Setting> saved = editor->getSetting(0, 0);
    editor->setCell(cell, 0, 0);
    std::unique_ptr<Setting> value = editor->getSetting(0, 0);
    if (saved) editor->setCell(*saved, 0, 0);
    // A popup with no item for the text keeps its choice, which is another row's value, not this one's.
    const auto* popup = dynamic_cast<const PopupMenu*>(editor);
    if (!value || (popup && !holds(*popup, cell))) return cell.clone();
    proxy->setSetting(value->clone(), row);
    return value;
}

String ListControl::getText(std::int16_t row, std::int16_t column) const {
    if (!isValidCell(row, column)) return {};
    const DialogControl* editor = defaultEditor(getProxy(column));
    if (!editor) return {};
    // A popup's own getText takes an index of its items, which a row number is not: its cell's text is
    // the value it holds. The texts keep the base one, which has no cell text (getCellText reads it).
    if (dynamic_cast<const PopupMenu*>(editor))
        if (const std::unique_ptr<Setting> value = getSetting(row, column)) return value->getText();
    return editor->getText(row, column);
}

Image ListControl::getImage(std::int16_t row, std::int16_t column) const {
    if (!validRow(row)) return Image();
    // A column with a default editor shows the editor's image (a text has none). A popup's getImage takes
    // an index of its items, which a row number is not: a popup column keeps the icon its cell was given.
    if (const DialogControl* editor = defaultEditor(getProxy(column)))
        if (!dynamic_cast<const PopupMenu*>(editor)) return editor->getImage(0, 0);
    return Image(host::DGListGetTabItemIcon(dialog(), item(), static_cast<std::int16_t>(row + 1),
                                            static_cast<std::int16_t>(column + 1)));
}

void ListControl::setCell(const Setting& setting, std::int16_t row, std::int16_t column) {
    if (!isValidCell(row, column)) return;
    if (FieldProxy* proxy = getProxy(column)) {
        // A popup holds only its items: it would keep its old choice for any other value, and write that
        // choice back over the cell when it leaves the row.
        if (const auto* popup = dynamic_cast<const PopupMenu*>(editorFor(*proxy, &setting)))
            if (!holds(*popup, setting)) return;
        proxy->setSetting(setting.clone(), row);
        // The editors' row, selected or not: they write their value back when they leave it.
        if (row == static_cast<std::int16_t>(editRow_))
            if (DialogControl* editor = findEditor(column, row)) {
                editor->setCell(setting, 0, 0);
                noteLoaded(*editor, setting);
            }
    }
    setCellText(setting.getText(), row, column);
}

void ListControl::setText(const String& text, std::int16_t row, std::int16_t column) {
    if (!isValidCell(row, column)) return;
    if (FieldProxy* proxy = getProxy(column)) {
        DialogControl* editor = findEditor(column, row);
        Setting* stored = proxy->getSetting(row);
        // A popup holds only its items: it would keep its old choice for any other text, and write that
        // choice back over the cell when it leaves the row. The choice goes with an item's text, as the
        // popup loads a row's value by it.
        if (const auto* popup = dynamic_cast<const PopupMenu*>(editor)) {
            const std::uint16_t index = popup->findItem(text);
            if (index == PopupMenu::kNone) return;
            if (dynamic_cast<const MenuSetting*>(stored)) {
                proxy->setSetting(std::make_unique<MenuSetting>(index, text), row);
                stored = nullptr;
            }
        }
        // A value that cannot take the text refuses it: the cell would show what the row does not hold, and
        // be written back when the row is left.
        if (stored && !stored->setText(text)) return;
        if (editor && row == static_cast<std::int16_t>(editRow_)) {
            const StringSetting value(text);
            editor->setCell(value, 0, 0);
            noteLoaded(*editor, value);
        }
    }
    setCellText(text, row, column);
}

void ListControl::setImage(const Image& image, std::int16_t row, std::int16_t column) {
    if (!isValidCell(row, column) || image.isEmpty()) return;
    host::DGListSetTabItemIcon(dialog(), item(), static_cast<std::int16_t>(row + 1),
                               static_cast<std::int16_t>(column + 1), image.toDGIcon());
}

void ListControl::clearCell(std::int16_t row, std::int16_t column) {
    if (!isValidCell(row, column)) return;
    // Emptied first: an editor brought onto the row reads the cell, and would store its old text again.
    setCellText(String(), row, column);
    if (FieldProxy* proxy = getProxy(column)) {
        proxy->setSetting(nullptr, row);
        if (row == static_cast<std::int16_t>(editRow_)) {
            const bool store = proxy->storeEdits;
            proxy->storeEdits = false;   // the editor's old value is not written back
            attachEditor(static_cast<std::uint16_t>(row));
            proxy->storeEdits = store;
        }
    }
}

String ListControl::getCellText(std::int16_t row, std::int16_t column) const {
    return String(host::DGListGetTabItemText(dialog(), item(), static_cast<std::int16_t>(row + 1),
                                             static_cast<std::int16_t>(column + 1)));
}

void ListControl::setCellText(const String& text, std::int16_t row, std::int16_t column) {
    host::DGListSetTabItemText(dialog(), item(), static_cast<std::int16_t>(row + 1),
                               static_cast<std::int16_t>(column + 1), text.getView());
}

// --- Rows ----------------------------------------------------------------------------------------------
Colour ListControl::getColor(std::int16_t row) const {
    if (!validRow(row)) return Colour(0.0, 0.0, 0.0, 1.0);
    std::uint16_t red = 0, green = 0, blue = 0;
    host::DGListGetItemColor(dialog(), item(), static_cast<std::int16_t>(row + 1), red, green, blue);
    return fromWords(red, green, blue);
}

std::int16_t ListControl::getStatus(std::int16_t row) const {
    return validRow(row) ? host::DGListGetItemStatus(dialog(), item(), static_cast<std::int16_t>(row + 1))
                         : 0;
}

std::int64_t ListControl::getUserData(std::int16_t row) const {
    return validRow(row) ? host::DGListGetItemUserData(dialog(), item(), static_cast<std::int16_t>(row + 1))
                         : 0;
}

void ListControl::setColor(const Colour& colour, std::int16_t row) {
    if (!validRow(row)) return;
    const auto words = colour.toWords();
    host::DGListSetItemColor(dialog(), item(), static_cast<std::int16_t>(row + 1), words[0], words[1],
                             words[2]);
}

void ListControl::setStatus(std::int16_t status, std::int16_t row) {
    if (validRow(row))
        host::DGListSetItemStatus(dialog(), item(), static_cast<std::int16_t>(row + 1), status);
}

void ListControl::setUserData(std::int64_t value, std::int16_t row) {
    if (validRow(row))
        host::DGListSetItemUserData(dialog(), item(), static_cast<std::int16_t>(row + 1), value);
}

void ListControl::setBackgroundColor(const Colour& colour, std::int16_t row) {
    if (!validRow(row)) return;
    const auto words = colour.toWords();
    host::DGListSetItemBackgroundColor(dialog(), item(), static_cast<std::int16_t>(row + 1), words[0],
                                       words[1], words[2]);
}

void ListControl::setFont(const TextStyle& style, std::int16_t row, std::int16_t column) {
    if (static_cast<std::uint16_t>(row) == kNone) {
        DialogControl::setFont(style, row, column);
        return;
    }
    if (!validRow(row)) return;
    host::DGListSetItemStyle(dialog(), item(), static_cast<std::int16_t>(row + 1),
                             hostStyleOf(style.getStyleFlags()));
    setColor(style.getColour(), row);
}

bool ListControl::appendRows(std::int16_t count) {
    return insertRows(static_cast<std::int16_t>(kNone), count);
}

bool ListControl::insertRows(std::int16_t first, std::int16_t count) {
    const std::int32_t rows = getRowCount();
    // 1.
    if (count > kMaxRows - rows) return false;
    std::int32_t at = first, n = count;
    // 2. Where: 65535 (read as -1) is the end, so it is told apart before negative starts.
    if (static_cast<std::uint16_t>(first) == kNone) {
        at = rows;
    } else if (at > rows) {
        n += at - rows;
        at = rows;
    } else if (at < 0) {
        n += at;
        at = 0;
    }
    // The limit is checked on the count that will really be inserted too: a gap adds to it.
    if (n > kMaxRows - rows) return false;
    if (n < 1) return true;
    // 4. The proxies and the count; the edit row keeps naming the same row.
    if (proxies_) proxies_->insertRows(at, n);
    DialogControl::setDimensions(static_cast<std::int16_t>(rows + n),
                                 static_cast<std::int16_t>(getColumnCount()));
    if (editRow_ != kNone && at <= editRow_) editRow_ = static_cast<std::uint16_t>(editRow_ + n);
    // 5.
    enableDraw(false);
    const std::int16_t position = at == rows ? host::kDGListBottom : static_cast<std::int16_t>(at + 1);
    for (std::int32_t i = 0; i < n; ++i) host::DGListInsertItem(dialog(), item(), position);
    enableDraw(true);
    DialogControl::redraw(0);
    return true;
}

bool ListControl::deleteRows(std::int16_t first, std::int16_t count) {
    const std::int32_t rows = getRowCount();
    std::int32_t at = first, n = count;
    // 1.
    if (static_cast<std::uint16_t>(first) > 65534) at = rows - 1;   // "the last row"
    if (at >= rows) return true;
    if (at < 0) {
        n += at;
        at = 0;
    }
    n = std::min(n, rows - at);
    if (n < 1) return true;
    const bool all = at == 0 && n == rows;
    // 2. The editors move off the run first.
    if (editRow_ != kNone && (at <= editRow_ || all)) {
        if (all) {
            editRow_ = kNone;
        } else {
            // Leaving the edit row writes its value back; the first row still selected takes the editors
            // again when the selection is restored below.
            const std::int32_t target = at + n < rows ? at + n : at - 1;
            attachEditor(static_cast<std::uint16_t>(target));
            if (target >= at + n) editRow_ = static_cast<std::uint16_t>(editRow_ - n);
        }
    }
    // 3.
    std::vector<std::int16_t> kept;
    for (auto it = begin(2); it != end(); ++it) {
        const std::int16_t r = it->getRow();
        if (r < at)
            kept.push_back(r);
        else if (r >= at + n)
            kept.push_back(static_cast<std::int16_t>(r - n));
    }
    if (proxies_) proxies_->eraseRows(at, n);
    DialogControl::setDimensions(static_cast<std::int16_t>(rows - n),
                                 static_cast<std::int16_t>(getColumnCount()));
    // 4. and 5.
    enableDraw(false);
    if (all) {
        host::DGListDeleteItem(dialog(), item(), 0);
    } else {
        deselectAll();
        for (std::int32_t i = 0; i < n; ++i)
            host::DGListDeleteItem(dialog(), item(), static_cast<std::int16_t>(at + 1));
        // Through select, so that the editors follow the first row still selected.
        for (std::int16_t r : kept) select(true, r);
    }
    enableDraw(true);
    DialogControl::redraw(0);
    return true;
}

bool ListControl::setDimensions(std::int16_t rows, std::int16_t columns) {
    relayEditors();
    const std::int16_t nowRows = getRowCount();
    const auto nowColumns = static_cast<std::int16_t>(getColumnCount());
    if (rows == nowRows && columns == nowColumns) return true;
    bool ok = true;
    if (rows < nowRows) ok = deleteRows(rows, static_cast<std::int16_t>(nowRows - rows));
    if (rows > nowRows) ok = appendRows(static_cast<std::int16_t>(rows - nowRows));
    bool columnsOk = true;
    if (columns < nowColumns)
        columnsOk = deleteColumns(columns, static_cast<std::int16_t>(nowColumns - columns));
    if (columns > nowColumns)
        columnsOk = appendColumns(ColumnProperty(0, 1.0), static_cast<std::int16_t>(columns - nowColumns));
    return ok && columnsOk;
}

// --- Iterators -----------------------------------------------------------------------------------------
namespace {

template <typename Iterator>
Iterator startOf(const ListControl& list, std::int32_t mode) {
    using Node = ListControl::Node;
    if (list.getRowCount() == 0 || mode < 0) return Iterator(std::make_unique<Node>(&list, -1), mode);
    if (mode == 0 || mode == 1 || mode == 3) return Iterator(std::make_unique<Node>(&list, 0), 0);
    if (mode == 2) {
        const std::uint16_t first = list.getSelected(0);
        return Iterator(std::make_unique<Node>(
                            &list, first == ListControl::kNone ? -1 : static_cast<std::int16_t>(first)),
                        2);
    }
    return Iterator(std::make_unique<Node>(&list, -1), mode);
}

template <typename Iterator>
Iterator reverseStartOf(const ListControl& list, std::int32_t mode) {
    using Node = ListControl::Node;
    if (list.getRowCount() == 0 || mode < 0) return Iterator(std::make_unique<Node>(&list, -1), 0);
    if (mode == 0 || mode == 1 || mode == 3)
        return Iterator(std::make_unique<Node>(&list, static_cast<std::int16_t>(list.getRowCount() - 1)), 0);
    if (mode == 2) {
        std::int16_t row = static_cast<std::int16_t>(list.getRowCount() - 1);
        while (row >= 0 && !list.isSelected(row)) --row;
        return Iterator(std::make_unique<Node>(&list, row), 2);
    }
    return Iterator(std::make_unique<Node>(&list, -1), 0);
}

}   // namespace

ListControl::const_iterator ListControl::begin(std::int32_t mode) const {
    return startOf<const_iterator>(*this, mode);
}
ListControl::iterator ListControl::begin(std::int32_t mode) { return startOf<iterator>(*this, mode); }
ListControl::const_iterator ListControl::end() const {
    return const_iterator(std::make_unique<Node>(this, -1), 0);
}
ListControl::iterator ListControl::end() { return iterator(std::make_unique<Node>(this, -1), 0); }
ListControl::const_iterator ListControl::rbegin(std::int32_t mode) const {
    return reverseStartOf<const_iterator>(*this, mode);
}
ListControl::iterator ListControl::rbegin(std::int32_t mode) { return reverseStartOf<iterator>(*this, mode); }

// --- Scrolling, hit testing, drawing -----------------------------------------------------------------------
std::int16_t ListControl::getHScrollPosition() const {
    return host::DGListGetHScrollPosition(dialog(), item());
}
std::int16_t ListControl::getScrollPosition() const {
    return host::DGListGetScrollPosition(dialog(), item());
}
void ListControl::setHScrollPosition(std::int16_t position) {
    host::DGListSetHScrollPosition(dialog(), item(), position);
}
void ListControl::setScrollPosition(std::int16_t position) {
    host::DGListSetScrollPosition(dialog(), item(), position);
}
ScreenPoint ListControl::getLastClick() const { return lastClick_; }
std::int16_t ListControl::getItemHeight() const { return host::DGListGetItemHeight(dialog(), item()); }

std::uint16_t ListControl::columnAt(const ScreenPoint& point, bool inList) const {
    std::int32_t x = point.x;
    if (!inList) x -= const_cast<ListControl*>(this)->getPosition(0).x;
    for (std::size_t c = 0; c < columnProperties_->size(); ++c) {
        const ColumnProperty& p = (*columnProperties_)[c];
        if (p.begin <= x && x <= p.begin + p.width) return static_cast<std::uint16_t>(c);
    }
    return kNone;
}

std::uint16_t ListControl::rowAt(const ScreenPoint& point, bool inList) const {
    std::int32_t y = point.y;
    if (!inList) y -= const_cast<ListControl*>(this)->getPosition(0).y;
    const std::int32_t height = getItemHeight();
    if (getRowCount() == 0 || height <= 0) return kNone;
    // Rows start below the header; a scrolled list shows its scroll position's row first. The header
    // covers the rows scrolled out of sight.
    const std::int32_t belowHeader = y - getHeaderHeight();
    if (belowHeader < 0) return kNone;
    const std::int32_t fromTop = belowHeader + getScrollPosition() * height;
    for (std::int32_t r = 0; r < getRowCount(); ++r)
        if (fromTop >= r * height && fromTop <= (r + 1) * height) return static_cast<std::uint16_t>(r);
    return kNone;
}

void ListControl::redraw(std::int16_t row) { redraw(row, static_cast<std::int16_t>(kNone)); }

void ListControl::redraw(std::int16_t row, std::int16_t column) {
    if (columnsChanged_) {
        columnsChanged_ = false;
        applyColumns();
    }
    if (static_cast<std::uint16_t>(row) == kNone)
        DialogControl::redraw(0);
    else if (static_cast<std::uint16_t>(column) == kNone)
        host::DGListRedrawItem(dialog(), item(), static_cast<std::int16_t>(row + 1));
    else
        host::DGListRedrawTabItem(dialog(), item(), static_cast<std::int16_t>(row + 1),
                                  static_cast<std::int16_t>(column + 1));
}

void ListControl::enableDraw(bool on) {
    if (on)
        host::DGListEnableDraw(dialog(), item());
    else
        host::DGListDisableDraw(dialog(), item());
}

void ListControl::growBy(const ScreenPoint& delta, std::int16_t row) {
    DialogControl::growBy(delta, row);
    applyColumns();
}

void ListControl::moveGrowBy(const ScreenPoint& grow, const ScreenPoint& move, std::int16_t row) {
    DialogControl::moveGrowBy(grow, move, row);
    applyColumns();
}

// --- Columns -----------------------------------------------------------------------------------------------
bool ListControl::appendColumns(const ColumnProperty& model, std::int16_t count) {
    return insertColumns(static_cast<std::int16_t>(getColumnCount()), model, count);
}

bool ListControl::insertColumns(std::int16_t first, const ColumnProperty& model, std::int16_t count) {
    const std::int32_t columns = getColumnCount();
    std::int32_t at = first, n = count;
    if (at > columns) {
        n += at - columns;
        at = columns;
    }
    if (at < 0) {
        n += at;
        at = 0;
    }
    if (n < 1) return true;
    if (proxies_) proxies_->insertColumns(at, n);
    DialogControl::setDimensions(getRowCount(), static_cast<std::int16_t>(columns + n));
    columnProperties_->insert(static_cast<std::size_t>(at), model, static_cast<std::size_t>(n));
    columnsChanged_ = true;
    return true;
}

bool ListControl::deleteColumns(std::int16_t first, std::int16_t count) {
    const std::int32_t columns = getColumnCount();
    std::int32_t at = first, n = count;
    if (at >= columns) return true;
    if (at < 0) {
        n += at;
        at = 0;
    }
    n = std::min(n, columns - at);
    if (n < 1) return true;
    if (proxies_) proxies_->eraseColumns(at, n);
    DialogControl::setDimensions(getRowCount(), static_cast<std::int16_t>(columns - n));
    columnProperties_->erase(static_cast<std::size_t>(at), static_cast<std::size_t>(n));
    columnsChanged_ = true;
    return true;
}

void ListControl::setColumnGap(std::uint16_t pixels) {
    columnGap_ = pixels;
    columnsChanged_ = true;
}

std::uint16_t ListControl::getColumnGap() const { return columnGap_; }

void ListControl::setColumnProperties(const ColumnProperty& model, std::int16_t column) {
    if (column < 0 || static_cast<std::size_t>(column) >= columnProperties_->size())
        throw TracedException("out_of_range", "ListControl::setColumnProperties");
    ColumnProperty& p = (*columnProperties_)[static_cast<std::size_t>(column)];
    p.width = model.width;
    p.weight = model.weight;
    p.begin = model.begin;
    p.justification = model.justification;
    p.truncation = model.truncation;
    p.enabled = model.enabled;
    columnsChanged_ = true;
}

void ListControl::setColumn(const ColumnProperty& model, DialogControl* editor, std::int16_t column) {
    setColumnProperties(model, column);
    setFieldEditor(editor, column, 0);
}

const ListControl::ColumnProperty& ListControl::getColumnStyle(std::int16_t column) const {
    if (column < 0 || static_cast<std::size_t>(column) >= columnProperties_->size())
        throw TracedException("out_of_range", "ListControl::getColumnStyle const");
    return (*columnProperties_)[static_cast<std::size_t>(column)];
}

void ListControl::applyColumns() {
    const std::size_t count = columnProperties_->size();
    if (count == 0) return;
    // 1. to 3. Signed, and never below 0: a narrow list or wide fixed columns leave no room, not a wrap.
    const std::int32_t available = std::max<std::int32_t>(
        0, getWidth(0) - kScrollBarWidth - static_cast<std::int32_t>(count - 1) * columnGap_);
    std::int32_t flexible = available;
    double weightSum = 0.0;
    for (std::size_t c = 0; c < count; ++c) {
        const ColumnProperty& p = (*columnProperties_)[c];
        if (p.isFixed())
            flexible -= p.width;
        else
            weightSum += p.weight;
    }
    flexible = std::max(flexible, 0);
    const double factor = std::abs(weightSum) <= kWeightTolerance ? 1.0 : 1.0 / weightSum;
    // 4.
    std::int32_t position = 0, remaining = available;
    std::vector<host::DGTabData> tabs(count);
    for (std::size_t c = 0; c < count; ++c) {
        ColumnProperty& p = (*columnProperties_)[c];
        if (!p.isFixed()) {
            const auto width =
                static_cast<std::int32_t>(static_cast<std::int16_t>(flexible * factor * p.weight));
            p.width = static_cast<std::uint16_t>(std::clamp(width, 0, std::max(remaining, 0)));
        }
        p.begin = static_cast<std::uint16_t>(position);
        remaining -= p.width;
        position += p.width + columnGap_;
        // 5.
        tabs[c].begin = p.begin;
        tabs[c].end = static_cast<std::uint16_t>(p.begin + p.width);
        tabs[c].justification = static_cast<std::uint16_t>(p.justification);
        tabs[c].truncation = static_cast<std::uint16_t>(p.truncation);
        tabs[c].separator = 0;
        tabs[c].disabled = p.enabled ? 0 : 1;
        // 6. Every editor of the column, whatever its kind: one laid on the edit row keeps its cell's width.
        if (proxies_ && c < proxies_->size())
            for (const auto& [kind, editor] : (*proxies_)[c].getEditors())
                if (editor) editor->setWidth(static_cast<std::int16_t>(p.width));
    }
    // 7.
    enableDraw(false);
    host::DGListSetTabData(dialog(), item(), static_cast<std::int16_t>(count), tabs.data());
    enableDraw(true);
    DialogControl::redraw(0);
}

// --- Header ---------------------------------------------------------------------------------------------
void ListControl::getHeaderFlags(bool& a, bool& b, bool& c) const {
    host::DGListGetHeaderFlags(dialog(), item(), a, b, c);
}
std::int16_t ListControl::getHeaderHeight() const { return host::DGListGetHeaderHeight(dialog(), item()); }
std::int16_t ListControl::getHeaderItemCount() const {
    return host::DGListGetHeaderItemCount(dialog(), item());
}

String ListControl::getHeaderText(std::int16_t column) const {
    if (column < 0 || column >= getHeaderItemCount()) return {};
    return String(host::DGListGetHeaderItemText(dialog(), item(), static_cast<std::int16_t>(column + 1)));
}

std::int16_t ListControl::getHeaderSize(std::int16_t column) const {
    if (column < 0 || column >= getHeaderItemCount()) return 0;
    return host::DGListGetHeaderItemSize(dialog(), item(), static_cast<std::int16_t>(column + 1));
}

std::int16_t ListControl::getHeaderArrow(std::int16_t column) const {
    if (column < 0 || column >= getHeaderItemCount()) return 0;
    return host::DGListGetHeaderItemArrowType(dialog(), item(), static_cast<std::int16_t>(column + 1));
}

void ListControl::setHeaderFlags(bool a, bool b, bool c) {
    host::DGListSetHeaderFlags(dialog(), item(), a, b, c);
}
void ListControl::setHeaderItemCount(std::int16_t count) {
    host::DGListSetHeaderItemCount(dialog(), item(), count);
}

void ListControl::setHeaderText(const String& text, std::int16_t column) {
    if (column >= 0 && column < getHeaderItemCount())
        host::DGListSetHeaderItemText(dialog(), item(), static_cast<std::int16_t>(column + 1),
                                      text.getView());
}

void ListControl::setHeaderFont(const TextStyle& style, std::int16_t column) {
    host::DGListSetHeaderItemFont(dialog(), item(), static_cast<std::int16_t>(column + 1), hostFontOf(style));
}

void ListControl::setHeaderFlags(std::int16_t column, std::int32_t flags, bool on) {
    if (column >= 0 && column < getHeaderItemCount())
        host::DGListSetHeaderItemFlags(dialog(), item(), static_cast<std::int16_t>(column + 1), flags, on);
}

std::int16_t ListControl::setHeaderSize(std::int16_t size, std::int16_t column) {
    if (column < 0 || column >= getHeaderItemCount()) return getHeaderItemCount();
    return host::DGListSetHeaderItemSize(dialog(), item(), static_cast<std::int16_t>(column + 1), size) ? 1
                                                                                                        : 0;
}

void ListControl::setHeaderMinSize(std::int16_t size, std::int16_t column) {
    if (column >= 0 && column < getHeaderItemCount())
        host::DGListSetHeaderItemMinSize(dialog(), item(), static_cast<std::int16_t>(column + 1), size);
}

void ListControl::setHeaderArrow(std::int16_t arrow, std::int16_t column) {
    if (column >= 0 && column < getHeaderItemCount())
        host::DGListSetHeaderItemArrowType(dialog(), item(), static_cast<std::int16_t>(column + 1), arrow);
}

void ListControl::setOwnerDraw(bool ownerDraw, std::int16_t column) {
    if (listBox_ != 0 && column >= 0 && column < static_cast<std::int16_t>(getColumnCount()))
        host::DGListSetTabFieldOwnerDrawFlag(dialog(), item(), static_cast<std::int16_t>(column + 1),
                                             ownerDraw);
}

// --- Host item -----------------------------------------------------------------------------------------
std::unique_ptr<ControlObserver> ListControl::makeObserver() const { return std::make_unique<Observer>(); }
void ListControl::createItem(std::int16_t hostPanel) { listBox_ = hostPanel; }
void ListControl::releaseItem() { listBox_ = 0; }

// --- Field proxies and editors -------------------------------------------------------------------------
FieldProxy* ListControl::getProxy(std::int16_t column) const {
    if (!proxiesEnabled_ || !proxies_) return nullptr;
    if (column < 0 || column >= static_cast<std::int16_t>(getColumnCount()) ||
        static_cast<std::size_t>(column) >= proxies_->size())
        throw TracedException("out_of_range", "ListControl::getProxy");
    return &(*proxies_)[static_cast<std::size_t>(column)];
}

void ListControl::setProxiesEnabled(bool on) {
    proxiesEnabled_ = on;
    if (on) ensureProxies();
}

bool ListControl::ensureProxies() {
    if (!proxies_) {
        proxies_ = std::make_unique<ProxyList>(getColumnCount(), getRowCount());
    } else if (proxies_->size() <= getColumnCount()) {
        proxies_->insertColumns(static_cast<std::int32_t>(proxies_->size()),
                                static_cast<std::int32_t>(getColumnCount() - proxies_->size()));
    }
    return true;
}

bool ListControl::setFieldEditor(DialogControl* editor, std::int16_t column, std::uint32_t kind) {
    if (column < 0 || column >= static_cast<std::int16_t>(getColumnCount())) return false;
    if (editor &&
        (editor->getLink().getPanel() != getLink().getPanel() || editor->getItemId() >= getItemId()))
        return false;
    ensureProxies();
    (*proxies_)[static_cast<std::size_t>(column)].setEditor(editor, kind);
    if (editor) {
        editor->setVisible(false);
        editor->setWidth(
            static_cast<std::int16_t>((*columnProperties_)[static_cast<std::size_t>(column)].width));
    }
    return true;
}

DialogControl* ListControl::getFieldEditor(std::int16_t column, std::uint32_t kind) const {
    FieldProxy* proxy = getProxy(column);
    return proxy ? proxy->editor(kind) : nullptr;
}

DialogControl* ListControl::findEditor(std::int16_t column, std::int16_t row) const {
    FieldProxy* proxy = getProxy(column);
    if (!proxy || row < 0) return nullptr;
    return editorFor(*proxy, proxy->getSetting(row));
}

void ListControl::layEditor(std::int16_t column, DialogControl* editor, bool shown) {
    host::DGListSetDialItemOnTabField(dialog(), item(), static_cast<std::int16_t>(column + 1),
                                      shown && editor ? static_cast<std::int16_t>(editor->getItemId()) : 0);
}

void ListControl::setFieldEditorsShown(bool shown, std::uint16_t column) {
    if (!proxies_) return;
    for (std::size_t c = 0; c < getColumnCount() && c < proxies_->size(); ++c) {
        if (column != kNone && c != column) continue;
        FieldProxy& proxy = (*proxies_)[c];
        proxy.editable = shown;
        layEditor(static_cast<std::int16_t>(c), proxy.editor(0), shown);
    }
}

void ListControl::relayEditors() {   // as setFieldEditorsShown, keeping each column's own flag
    if (!proxies_) return;
    for (std::size_t c = 0; c < getColumnCount() && c < proxies_->size(); ++c) {
        FieldProxy& proxy = (*proxies_)[c];
        layEditor(static_cast<std::int16_t>(c), proxy.editor(0), proxy.editable);
    }
}

void ListControl::setStoreEdits(bool on, std::int16_t column) {
    if (column < 0 || column >= static_cast<std::int16_t>(getColumnCount())) return;
    if (FieldProxy* proxy = getProxy(column)) proxy->storeEdits = on;
}

bool ListControl::isFieldEditable(std::int16_t column) const {
    const FieldProxy* proxy = getProxy(column);
    return proxy && proxy->editable;
}

void ListControl::hideEditors() {
    editRow_ = kNone;
    staleChoices_.clear();
    const bool enabled = proxiesEnabled_;
    proxiesEnabled_ = true;
    for (std::int16_t c = 0; proxies_ && c < static_cast<std::int16_t>(getColumnCount()); ++c)
        if (DialogControl* editor = getProxy(c)->editor(0)) editor->setVisible(false);
    proxiesEnabled_ = enabled;
}

bool ListControl::loadEditor(DialogControl& editor, const Setting& setting) {
    editor.setCell(setting, 0, 0);
    return true;
}

void ListControl::noteLoaded(const DialogControl& editor, const Setting& value) {
    const auto* popup = dynamic_cast<const PopupMenu*>(&editor);
    if (popup && !holds(*popup, value))
        staleChoices_[&editor] = popup->getSelected(0);
    else
        staleChoices_.erase(&editor);
}

void ListControl::attachEditor(std::uint16_t newRow) {
    const std::map<const DialogControl*, std::uint16_t> left = staleChoices_;
    staleChoices_.clear();
    for (std::int16_t c = 0; c < static_cast<std::int16_t>(getColumnCount()); ++c) {
        // 1. Leaving the old row.
        if (editRow_ != kNone) {
            if (DialogControl* editor = findEditor(c, static_cast<std::int16_t>(editRow_))) {
                ensureProxies();
                FieldProxy& proxy = (*proxies_)[static_cast<std::size_t>(c)];
                // A popup that kept another row's choice has nothing of this row's to write back.
                if (proxy.storeEdits && !keepsStaleChoice(left, *editor)) {
                    if (std::unique_ptr<Setting> value = editor->getSetting(0, 0)) {
                        const Setting* stored = proxy.getSetting(editRow_);
                        if (!stored || !stored->isEqual(*value)) {
                            setCellText(value->getText(), static_cast<std::int16_t>(editRow_), c);
                            proxy.setSetting(std::move(value), editRow_);
                        }
                    }
                }
            }
        }
        // 2. Entering the new row.
        DialogControl* editor = newRow != kNone ? findEditor(c, static_cast<std::int16_t>(newRow)) : nullptr;
        bool laid = false;
        if (editor) {
            ensureProxies();
            FieldProxy& proxy = (*proxies_)[static_cast<std::size_t>(c)];
            const Setting* stored = proxy.getSetting(newRow);
            // Another row with no value stored yet shows its cell's text, read through the editor:
            // loaded empty, the editor would write that emptiness over the cell when the row is left.
            std::unique_ptr<Setting> read;
            if (!stored && newRow != editRow_) read = getSetting(static_cast<std::int16_t>(newRow), c);
            const VoidSetting none;
            const Setting& value = stored ? *stored : read ? *read : static_cast<const Setting&>(none);
            if (loadEditor(*editor, value)) {
                noteLoaded(*editor, value);
                editor->setWidth(
                    static_cast<std::int16_t>((*columnProperties_)[static_cast<std::size_t>(c)].width));
                layEditor(c, nullptr, false);
                if (proxy.editable) {
                    layEditor(c, editor, true);
                    laid = true;
                }
            }
        }
        // 3.
        if (!laid) layEditor(c, nullptr, false);
    }
    // 4.
    editRow_ = newRow;
}

}   // namespace tarnwick
