#include "Skellowing/MappingDialog.h"

#include <algorithm>
#include <array>
#include <set>

#include <HostResult.h>

#include "Elements/ComponentElem.h"
#include "Environment/EventKeyList.h"
#include "Environment/FocusEvent.h"
#include "Environment/Host.h"
#include "Environment/ItemEvent.h"
#include "Environment/ItemMessage.h"
#include "Environment/ResizeEvent.h"
#include "Environment/Subscriber.h"
#include "Foundation/Colour.h"
#include "Foundation/Setting.h"
#include "Foundation/StringSetting.h"
#include "Geometry/Cube.h"
#include "Interface/ActionEvent.h"
#include "Interface/ActionSubscriber.h"
#include "Interface/Button.h"
#include "Interface/EditText.h"
#include "Interface/ErrorAlert.h"
#include "Interface/ItemSubscriber.h"
#include "Interface/ListControl.h"
#include "Interface/NotifyAlert.h"
#include "Interface/PopupMenu.h"
#include "Interface/ResizeSubscriber.h"
#include "Interface/StaticText.h"
#include "LibraryParts/ParameterList.h"
#include "Project/ComponentSource.h"
#include "Project/Drawing.h"
#include "Project/ElementLinkList.h"
#include "Project/Library.h"
#include "Project/Plan.h"
#include "Project/Project.h"
#include "Project/Storey.h"
#include "Skellowing/ElementSearch.h"
#include "Skellowing/ListDialogLayout.h"
#include "Skellowing/MessageText.h"
#include "Skellowing/ObjectMapFile.h"
#include "Skellowing/ObjectSelectionDialog.h"
#include "Skellowing/SkellowingPrefs.h"
#include "Skellowing/SkellowingStrings.h"
#include "Skellowing/UniqueSource.h"

namespace skellow {
namespace {

using tarnwick::Colour;
using tarnwick::ControlLink;
using tarnwick::DialogControl;
using tarnwick::Host;
using tarnwick::ListControl;
using tarnwick::PopupMenu;
using tarnwick::ScreenPoint;
using tarnwick::String;
using tarnwick::StringSetting;

// The dialog's items.
constexpr std::uint16_t kSkellow = 1;
constexpr std::uint16_t kCancel = 2;
constexpr std::uint16_t kConfiguration = 4;
constexpr std::uint16_t kSourceName = 6;
constexpr std::uint16_t kMappedName = 8;
constexpr std::uint16_t kList = 9;
constexpr std::uint16_t kSettings = 10;
constexpr std::uint16_t kZoom = 11;
constexpr std::uint16_t kClear = 12;
constexpr std::uint16_t kItems[] = {kSkellow, kCancel, kSettings, kZoom, kClear};   // the buttons

constexpr std::int16_t kWidth = 439;   // the resource's client size, also the smallest and the widest
constexpr std::int16_t kHeight = 347;
constexpr std::uint16_t kSourceColumn = 180;
constexpr std::uint16_t kMappedColumn = 200;
constexpr std::uint16_t kColumnGap = 4;
constexpr std::int16_t kItemFont = 4;   // the host's font value of the list's items

// The configuration popup: three commands and a separator before the names.
constexpr std::uint16_t kAddItem = 0;
constexpr std::uint16_t kRenameItem = 1;
constexpr std::uint16_t kDeleteItem = 2;
constexpr std::int16_t kItemsBeforeNames = 4;

constexpr std::int32_t kLegacyVersion = 22;   // a legacy part's replacement: its name, a blank and this
constexpr double kZoomMargin = 0.5;           // metres around the element zoomed to

// Row colours: mapped here; inherited or pre-filled; mapped to a part that is not loaded; not mapped.
const Colour kBlack(std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{65535});
const Colour kGreen(std::uint16_t{0}, std::uint16_t{65535}, std::uint16_t{0}, std::uint16_t{65535});
const Colour kRed(std::uint16_t{65535}, std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{65535});
const Colour kOrange(std::uint16_t{65535}, std::uint16_t{34952}, std::uint16_t{0}, std::uint16_t{65535});

// A click on a button is taken: the host does nothing more with it.
void acknowledge(const tarnwick::ActionEvent& event) {
    tarnwick::sendItemMessage(event, std::make_shared<tarnwick::ItemMessage>(0));
}

// A click on one of the row buttons.
template <std::uint16_t Item, void (MappingDialog::*Act)()>
class RowButton : public tarnwick::ActionSubscriber {
public:
    explicit RowButton(MappingDialog& dialog) : dialog_(dialog) {}
    bool handle(const tarnwick::ActionEvent& event) override {
        if (event.getItemId() != Item) return false;
        acknowledge(event);
        (dialog_.*Act)();
        return true;
    }

private:
    MappingDialog& dialog_;
};

// A tool's settings written back as they were. A tool that had no part held no values of one either:
// written whole, it holds none again.
void putBack(tarnwick::ComponentElem& tool) {
    tool.commit(/*withUserData=*/false, /*wholeMemo=*/!tool.getComponentLink().isValid());
}

// The host gave no settings of the tool: what was read is a zeroed record, never to be written or shown.
bool unread(const tarnwick::Element& element) { return element.getTypeRecord().type == 0; }

// A tool whose settings name a part it could not take (the host refused the part's details): it holds no
// part to map to, though the user chose one.
bool partNotTaken(const tarnwick::ComponentElem& tool) {
    return tool.getLibraryIndex() != tool.getComponentLink().getIndex();
}

void showSettingsUnread() {
    tarnwick::ErrorAlert().show(messageText(strings::kMessages, strings::kToolUnread));
}

// Groups past what the list holds have no row: the user cannot see or change their mappings.
void showRowsNotShown(std::size_t count) {
    const std::int32_t item = count == 1 ? strings::kRowNotShown : strings::kRowsNotShown;
    String text = Host::getString(strings::kMessages, item);
    if (text.isEmpty()) (text = unreadMessage(strings::kMessages, item)) += "\n$1";   // never blank
    text.replaceAll("$1", String(static_cast<std::uint64_t>(count)));
    tarnwick::NotifyAlert().show(text);
}

}   // namespace

// --- The handlers ----------------------------------------------------------------------------------------
class MappingDialog::ResizePalette : public tarnwick::ResizeSubscriber {
public:
    explicit ResizePalette(MappingDialog& dialog) : dialog_(dialog) {}
    bool handle(const tarnwick::ResizeEvent& event) override {
        if (event.getPhase() != tarnwick::ResizeEvent::kResized ||
            (event.getHorizontalChange() == 0 && event.getVerticalChange() == 0) || !dialog_.list_)
            return false;
        std::array<DialogControl*, 5> buttons{};
        std::copy(std::begin(dialog_.buttons_), std::end(dialog_.buttons_), buttons.begin());
        fitListDialog(dialog_, kWidth, *dialog_.list_, buttons);
        return true;
    }

private:
    MappingDialog& dialog_;
};

class MappingDialog::EditSource : public tarnwick::ItemSubscriber {
public:
    explicit EditSource(MappingDialog& dialog) : dialog_(dialog) {}
    bool handle(const tarnwick::ItemEvent& event) override {
        if (event.getItemId() == kConfiguration) dialog_.editSource();
        return true;
    }

private:
    MappingDialog& dialog_;
};

// Each change of the field's text: kept until the entry is over.
class MappingDialog::EditMappedName : public tarnwick::ItemSubscriber {
public:
    explicit EditMappedName(MappingDialog& dialog) : dialog_(dialog) {}
    bool handle(const tarnwick::ItemEvent& event) override {
        if (event.getItemId() != kMappedName || !dialog_.mappedName_) return true;
        const std::uint16_t row = dialog_.firstSelectedRow();
        if (row != ListControl::kNone) dialog_.typed_ = TypedName{row, dialog_.mappedName_->getText()};
        return true;
    }

private:
    MappingDialog& dialog_;
};

// The field lost the focus: the entry is over.
class MappingDialog::CommitMappedName : public tarnwick::Subscriber {
public:
    explicit CommitMappedName(MappingDialog& dialog) : dialog_(dialog) {}
    void subscribe(tarnwick::EventKeyList& keys) const override {
        keys.append(tarnwick::InterfaceEvent::kSource, tarnwick::FocusEvent::kType);
    }
    bool receive(const tarnwick::Event& event) override {
        const auto* focus = dynamic_cast<const tarnwick::FocusEvent*>(&event);
        if (!focus || focus->getItemId() != kMappedName) return false;
        dialog_.commitTypedName();
        return true;
    }

private:
    MappingDialog& dialog_;
};

class MappingDialog::SetParameters : public RowButton<kSettings, &MappingDialog::setParameters> {
    using RowButton::RowButton;
};
class MappingDialog::ZoomOriginal : public RowButton<kZoom, &MappingDialog::zoomOriginal> {
    using RowButton::RowButton;
};
class MappingDialog::ClearMapping : public RowButton<kClear, &MappingDialog::clearMapping> {
    using RowButton::RowButton;
};

class MappingDialog::ChangeSelection : public tarnwick::ItemSubscriber {
public:
    explicit ChangeSelection(MappingDialog& dialog) : dialog_(dialog) {}
    bool handle(const tarnwick::ItemEvent& event) override {
        if (event.getItemId() != kList) return false;
        dialog_.commitTypedName();   // typed for the row the user left
        dialog_.enableRowButtons(dialog_.firstSelectedRow() != ListControl::kNone);
        return true;
    }

private:
    MappingDialog& dialog_;
};

// --- The dialog ------------------------------------------------------------------------------------------
MappingDialog::MappingDialog(ObjectMap& table, ObjectMapType kind, const SourceGroupMap& groups,
                             const LibraryPartList& parts)
    : Dialog(kResourceId, /*modal=*/true, /*resizeOnOpen=*/false, /*rememberPosition=*/false),
      resizePalette_(std::make_unique<ResizePalette>(*this)),
      editSource_(std::make_unique<EditSource>(*this)),
      editMappedName_(std::make_unique<EditMappedName>(*this)),
      setParameters_(std::make_unique<SetParameters>(*this)),
      zoomOriginal_(std::make_unique<ZoomOriginal>(*this)),
      clearMapping_(std::make_unique<ClearMapping>(*this)),
      changeSelection_(std::make_unique<ChangeSelection>(*this)),
      commitMappedName_(std::make_unique<CommitMappedName>(*this)),
      table_(table),
      working_(table),
      groups_(groups),
      parts_(parts),
      kind_(kind) {}

MappingDialog::~MappingDialog() = default;

SkellowingPrefs* MappingDialog::prefs() const {
    tarnwick::Project* const project = Host::getProject();
    return project ? dynamic_cast<SkellowingPrefs*>(project->getPackage(SkellowingPrefs::kCode)) : nullptr;
}

void MappingDialog::initialise() {
    // 1.
    SkellowingPrefs* const preferences = prefs();
    if (!preferences) return;
    activeName_ = preferences->getSource(kind_);
    // 2. The controls.
    popup_ = &DialogControl::make<PopupMenu>(ControlLink(kConfiguration, this));
    sourceName_ = &DialogControl::make<tarnwick::StaticText>(ControlLink(kSourceName, this));
    mappedName_ = &DialogControl::make<tarnwick::EditText>(ControlLink(kMappedName, this));
    list_ = &DialogControl::make<ListControl>(ControlLink(kList, this), 0, 2);
    for (std::size_t i = 0; i < std::size(kItems); ++i)
        buttons_[i] = &DialogControl::make<tarnwick::Button>(ControlLink(kItems[i], this));
    // 3.
    setMinimumSize(ScreenPoint(kWidth, kHeight));
    subscribe(*resizePalette_);
    // 4. The fields above the list edit its selected row.
    list_->setColumnProperties(ListControl::ColumnProperty(kSourceColumn), 0);
    list_->setColumnProperties(ListControl::ColumnProperty(kMappedColumn), 1);
    list_->applyColumns();
    list_->setColumnGap(kColumnGap);
    const auto stringKind = static_cast<std::uint32_t>(tarnwick::SettingKind::string);
    list_->setFieldEditor(sourceName_, 0, stringKind);
    list_->setFieldEditor(mappedName_, 1, stringKind);
    sourceName_->setFontStyle(kItemFont);
    mappedName_->setFontStyle(kItemFont);
    sourceName_->setEnabled(false);
    // 5.
    popup_->subscribe(*editSource_);
    mappedName_->subscribe(*editMappedName_);
    mappedName_->subscribe(*commitMappedName_);
    buttons_[2]->subscribe(*setParameters_);
    buttons_[3]->subscribe(*zoomOriginal_);
    buttons_[4]->subscribe(*clearMapping_);
    list_->subscribe(*changeSelection_);
    // 6. to 8.
    enableRowButtons(false);
    prefillMappings(*this, kind_, groups_, working_);
    refresh();
    // Told when the dialog opens, not again at each refill.
    if (keys_.size() < groups_.size()) showRowsNotShown(groups_.size() - keys_.size());
}

void MappingDialog::detach() {
    typed_.reset();
    popup_ = nullptr;
    sourceName_ = nullptr;
    mappedName_ = nullptr;
    list_ = nullptr;
    std::fill(std::begin(buttons_), std::end(buttons_), nullptr);
    Dialog::detach();
}

void MappingDialog::refresh() {
    if (!popup_) return;
    activeName_ = working_.fillConfigurationPopup(*popup_, activeName_, kind_);
    fillRows();
}

void MappingDialog::fillRows() {
    if (!list_) return;
    typed_.reset();
    // The list holds at most kMaxRows rows: the keys past them are not shown, and keep their mappings.
    const std::size_t rows = std::min(groups_.size(), static_cast<std::size_t>(ListControl::kMaxRows));
    list_->setDimensions(0, 2);
    list_->setDimensions(static_cast<std::int16_t>(rows), 2);
    keys_.clear();
    keys_.reserve(rows);
    for (const auto& group : groups_) {
        if (keys_.size() == rows) break;
        keys_.push_back(group.first);
        setRowColour(*this, group.first, static_cast<std::int16_t>(keys_.size() - 1));
    }
    // The rows went with their selection, which the host need not report.
    enableRowButtons(false);
}

void MappingDialog::enableRowButtons(bool enabled) {
    for (std::size_t i = 2; i < std::size(buttons_); ++i)
        if (buttons_[i]) buttons_[i]->setEnabled(enabled);
}

std::uint16_t MappingDialog::firstSelectedRow() const {
    if (!list_) return ListControl::kNone;
    const std::uint16_t row = list_->getSelected(0);
    return row < keys_.size() ? row : ListControl::kNone;
}

std::vector<std::uint16_t> MappingDialog::selectedRows() const {
    std::vector<std::uint16_t> rows;
    // From one selected row to the next: asking every row would take a long list's length each time.
    for (std::uint16_t r = firstSelectedRow(); r < keys_.size();
         r = list_->getSelected(static_cast<std::int16_t>(r + 1)))
        rows.push_back(r);
    return rows;
}

// --- Rows ------------------------------------------------------------------------------------------------
void setRowColour(MappingDialog& dialog, const SourceKey& key, std::int16_t row) {
    tarnwick::ListControl& list = *dialog.list_;
    // 1.
    list.setColor(kBlack, row);
    list.setCell(StringSetting(key.second), row, 0);
    list.setUserData(key.first, row);
    // 2. to 4. A mapping is the shown configuration's own only when it answers from that very list:
    // every kind has a "Default", so the name alone does not tell.
    String name = dialog.activeName_;
    SpecificationList* where = nullptr;
    ObjectSpecification* const specification = dialog.working_.findSpecification(
        key, name, dialog.kind_, /*create=*/false, /*prefilled=*/false, &where);
    String mapped;
    if (specification) {
        mapped = specification->getMappedName();
        if (!specification->findMappedPart())
            list.setColor(kRed, row);
        else if (where != dialog.working_.findList(dialog.activeName_, dialog.kind_) ||
                 specification->isPrefilled())
            list.setColor(kGreen, row);
    } else {
        list.setColor(kOrange, row);
    }
    // 5.
    list.setCell(StringSetting(mapped), row, 1);
}

void MappingDialog::showCleared(std::int16_t row) {
    list_->setCell(StringSetting(String()), row, 1);
    list_->setColor(kOrange, row);
}

ObjectSpecification* MappingDialog::ownSpecification(const SourceKey& key) {
    SpecificationList* const own = working_.findList(activeName_, kind_);
    if (!own) return nullptr;
    String name = activeName_;
    return working_.findSpecification(key, name, kind_, /*create=*/true);
}

void prefillMappings(MappingDialog& dialog, ObjectMapType kind, const SourceGroupMap& groups,
                     ObjectMap& workingCopy) {
    if (kind != ObjectMapType::missing && kind != ObjectMapType::legacy) return;
    tarnwick::Library* const library = Host::getLibrary();
    if (!library) return;
    SpecificationList* const own = workingCopy.findList(dialog.activeName_, kind);
    if (!own) return;
    for (const auto& group : groups) {
        const SourceKey& key = group.first;
        // 2. The part named like the source (legacy: with the version that replaces it).
        String search = key.second;
        if (kind == ObjectMapType::legacy) search += String((" " + std::to_string(kLegacyVersion)).c_str());
        auto type = static_cast<std::uint32_t>(key.first);
        const std::int32_t index = library->searchByName(search, type);
        if (index == 0 || type != static_cast<std::uint32_t>(key.first)) continue;
        const tarnwick::ComponentLink link(index, type, library);
        const std::unique_ptr<tarnwick::ComponentSource> source = library->getSource(link);
        if (!source) continue;
        // 3. and 4. Only where the row would show no mapping: one the user made, here or in another
        // configuration, stays theirs; the pre-fill goes into the shown configuration alone.
        String name = dialog.activeName_;
        const ObjectSpecification* const mapped =
            workingCopy.findSpecification(key, name, kind, /*create=*/false);
        if (mapped && !mapped->getMappedName().isEmpty()) continue;
        ObjectSpecification* specification = own->findSpecification(key);
        if (!specification) specification = &own->add(std::make_unique<ObjectSpecification>(key, true));
        if (specification->setMappedPart(link)) specification->setPrefilled(true);
    }
}

// --- Choosing a configuration ----------------------------------------------------------------------------
void MappingDialog::editSource() {
    if (!popup_) return;
    commitTypedName();   // typed for the configuration shown until now
    // 1.
    const std::uint16_t current = popup_->findItem(activeName_);
    const std::uint16_t selected = popup_->getSelected();
    if (selected == kAddItem) {   // 2.
        const String name = requestSourceName(*popup_, PopupMenu::kNone);
        if (!name.isEmpty()) {
            working_.addList(name, kind_);
            activeName_ = name;
        }
    } else if (selected == kRenameItem) {   // 3.
        const String name = requestSourceName(*popup_, current);
        if (!name.isEmpty() && working_.renameList(activeName_, name, kind_)) activeName_ = name;
    } else if (selected == kDeleteItem) {   // 4.
        if (popup_->getRowCount() - kItemsBeforeNames < 2) {
            tarnwick::NotifyAlert().show(messageText(strings::kMessages, strings::kLastSource));
        } else {
            working_.removeList(activeName_, kind_);
            activeName_ = String();   // the refresh shows the first name
        }
    } else {   // 5.
        activeName_ = popup_->getSelectedText();
    }
    // 6.
    refresh();
}

// --- Typing a replacement --------------------------------------------------------------------------------
void MappingDialog::commitTypedName() {
    if (!typed_ || !list_) return;
    const TypedName typed = *typed_;
    typed_.reset();
    if (typed.row >= keys_.size()) return;
    const SourceKey& key = keys_[typed.row];
    const auto row = static_cast<std::int16_t>(typed.row);
    // 2. An empty field maps nothing here.
    if (typed.text.isEmpty()) {
        working_.removeSpecification(key, activeName_, kind_);
        showCleared(row);
        return;
    }
    // 4. to 6. The candidates first: a choice the user cancels changes nothing.
    LibraryPartList candidates;
    findPartsByName(key.first, typed.text, parts_, candidates);
    std::optional<LibraryPartEntry> chosen;
    if (candidates.size() == 1) {
        chosen = candidates.front();
    } else if (candidates.size() > 1) {
        ObjectSelectionDialog selection(candidates);
        const tarnwick::DialogResult answer = selection.open();
        if (answer == tarnwick::kDialogNoResult) {   // the host could not show it: the user chose nothing
            keepMappingOf(key, row);
            return;
        }
        if (answer != tarnwick::kDialogAccepted || !selection.getResult()) {
            setRowColour(*this, key, row);   // the row shows its mapping as it was
            return;
        }
        chosen = *selection.getResult();
    }
    // 3. and 7. The shown configuration's own mapping takes the part, or the typed text when no part
    // fits it; then nothing that was resolved before still answers for it.
    const bool ownBefore = working_.findOwnSpecification(key, activeName_, kind_) != nullptr;
    ObjectSpecification* const specification = ownSpecification(key);
    if (!specification) {
        setRowColour(*this, key, row);
        return;
    }
    if (chosen && !specification->setMappedPart(chosen->link)) {
        // The host failed to give the part chosen: the typed text would put a name that maps nothing in
        // place of the user's mapping.
        if (!ownBefore) working_.removeSpecification(key, activeName_, kind_);
        keepMappingOf(key, row);
        return;
    }
    if (chosen)
        specification->setPrefilled(false);
    else
        specification->setTypedName(typed.text);
    if (!chosen) tarnwick::NotifyAlert().show(messageText(strings::kMessages, strings::kNoPartMatches));
    setRowColour(*this, key, row);
}

void MappingDialog::keepMappingOf(const SourceKey& key, std::int16_t row) {
    tarnwick::ErrorAlert().show(messageText(strings::kMessages, strings::kPartNotChosen));
    setRowColour(*this, key, row);
}

// --- The row buttons -------------------------------------------------------------------------------------
bool MappingDialog::keepToolDefaults(const SourceKey& key) {
    if (toolDefaults_.count(key.first) != 0) return true;
    std::shared_ptr<tarnwick::ComponentElem> before = makeNewElementWrapper(key, /*withMemo=*/true);
    if (!before || unread(*before)) return false;
    // A tool that keeps no values of its own shows its part's: those are what it goes back to, since
    // writing no values would leave the ones set since.
    if (before->getComponentLink().isValid() && before->parameters().getParameters().size() == 0) {
        if (const auto part = makeElementWrapper(key, before->getComponentLink()))
            before->parameters().setParameters(part->parameters().getParameters());
    }
    toolDefaults_.emplace(key.first, std::move(before));
    return true;
}

void MappingDialog::setParameters() {
    commitTypedName();
    // 2.
    const std::uint16_t first = firstSelectedRow();
    if (first == ListControl::kNone) return;
    const SourceKey key = keys_[first];
    String name = activeName_;
    ObjectSpecification* const specification = working_.findSpecification(key, name, kind_, false);
    // 3. The mapped part with the row's parameters becomes the tool's default, for the dialog to show. The
    // tool's own settings are kept first, to go back to on cancelling; without them nothing is written.
    if (!keepToolDefaults(key)) return showSettingsUnread();
    const tarnwick::ComponentLink* const part = specification ? specification->findMappedPart() : nullptr;
    std::unique_ptr<tarnwick::ParameterList> reference;
    if (part) {
        if (const auto element = makeElementWrapper(key, *part)) {
            if (unread(*element)) return showSettingsUnread();
            reference = std::make_unique<tarnwick::ParameterList>(element->parameters().getParameters());
            specification->apply(*element);
            element->commit(/*withUserData=*/true);
        }
    }
    // 4. The host's settings dialog of the element type, only for a tool whose settings it gives.
    const auto probe = makeNewElementWrapper(key, /*withMemo=*/false);
    if (!probe) return;
    if (unread(*probe)) {
        putBack(*toolDefaults_.at(key.first));
        toolDefaults_.erase(key.first);
        return showSettingsUnread();
    }
    if (!Host::openSettingsDialog(probe->getTypeRecord().type, probe->getTypeRecord().variation)) return;
    // 5. What the user left there. Defaults the host fails to give come as a zeroed record, and a part
    // whose details it refuses is not taken: what the user set is then lost, which must not pass unnoticed.
    const auto edited = makeNewElementWrapper(key, /*withMemo=*/true);
    if (!edited) return;
    if (unread(*edited) || partNotTaken(*edited)) {
        tarnwick::ErrorAlert().show(messageText(strings::kMessages, strings::kSettingsUnread));
        return;
    }
    const tarnwick::ParameterList editedParameters(edited->parameters().getParameters());
    const tarnwick::ComponentLink newLink = edited->getComponentLink();
    // 6. A settings dialog that leaves no part names none to map to.
    const bool changed = newLink.isValid() && !(part && newLink == *part);
    if (changed || (!reference && newLink.isValid())) {
        if (const auto defaults = makeElementWrapper(key, newLink))
            reference = std::make_unique<tarnwick::ParameterList>(defaults->parameters().getParameters());
    }
    // 7. Every selected row.
    for (const std::uint16_t r : selectedRows()) {
        const auto row = static_cast<std::int16_t>(r);
        ObjectSpecification* const current = working_.findOwnSpecification(keys_[r], activeName_, kind_);
        const bool takesPart = changed || (newLink.isValid() && !(current && current->findMappedPart()));
        if (!takesPart && !reference) continue;   // nothing to set: no mapping is made for it
        ObjectSpecification* const own = ownSpecification(keys_[r]);
        if (!own) continue;
        if (takesPart && own->setMappedPart(newLink)) own->setPrefilled(false);
        if (reference) own->setCustomParameters(*reference, editedParameters);
        setRowColour(*this, keys_[r], row);
    }
}

void MappingDialog::zoomOriginal() {
    commitTypedName();
    // 2. and 3.
    const std::uint16_t first = firstSelectedRow();
    if (first == ListControl::kNone) return;
    const auto group = groups_.find(keys_[first]);
    if (group == groups_.end() || group->second.empty()) return;
    const tarnwick::ElementLink& link = group->second.front();
    tarnwick::Drawing* const drawing = link.getDrawing();
    tarnwick::Project* const project = Host::getProject();
    if (!drawing || !project) return;
    const std::unique_ptr<tarnwick::Element> element = drawing->getElement(link);
    if (!element) return;
    // 4.
    project->setCurrentDatabase(drawing);
    project->setCurrentWindow(drawing);
    if (auto* plan = dynamic_cast<tarnwick::Plan*>(drawing))
        if (tarnwick::Storey* storey = element->getStorey()) plan->changeStorey(*storey, /*rebuild=*/true);
    // 5.
    drawing->deselectAll();
    if (std::unique_ptr<tarnwick::Cube> box = element->getBounds(/*fromHost=*/false)) {
        box->normalise();
        box->enlarge(kZoomMargin);
        drawing->zoom(*box);
    }
    tarnwick::ElementLinkList selection;
    selection.append(link);
    drawing->select(selection);
}

void MappingDialog::clearMapping() {
    commitTypedName();
    for (const std::uint16_t r : selectedRows()) {
        const auto row = static_cast<std::int16_t>(r);
        // A mapping inherited from another configuration stays there.
        working_.removeSpecification(keys_[r], activeName_, kind_);
        showCleared(row);
    }
}

// --- Closing ---------------------------------------------------------------------------------------------
void MappingDialog::cancel(const tarnwick::ActionEvent& event) {
    for (const auto& [type, before] : toolDefaults_) putBack(*before);
    toolDefaults_.clear();
    Dialog::cancel(event);
}

void MappingDialog::close(const tarnwick::ActionEvent&) {
    commitTypedName();
    // 1. and 2.
    SkellowingPrefs* const preferences = prefs();
    if (!preferences || !list_) return;
    list_->attachEditor(ListControl::kNone);   // the fields' texts reach their cells
    const String name = activeName_;
    // 3. and 4.
    table_.assign(working_);
    preferences->setSource(name, kind_);
    // 5. The rows that name a replacement.
    std::set<SourceKey> listed;
    for (std::size_t r = keys_.size(); r-- > 0;) {
        if (keys_[r].second.isEmpty() || list_->getCellText(static_cast<std::int16_t>(r), 1).isEmpty())
            continue;
        listed.insert(keys_[r]);
    }
    // 6. An inherited mapping of a listed row becomes the configuration's own. A key past the list's rows
    // counts as listed when its mapping names a replacement, as its row would have shown.
    SpecificationList* const own = table_.findList(name, kind_);
    std::size_t row = 0;   // the groups are the rows' keys, in the same order
    for (const auto& group : groups_) {
        const bool shown = row++ < keys_.size();
        String configuration = name;
        SpecificationList* where = nullptr;
        ObjectSpecification* const specification =
            table_.findSpecification(group.first, configuration, kind_, /*create=*/false, false, &where);
        if (!specification || where == own) continue;
        const bool named = shown ? listed.count(group.first) != 0
                                 : !group.first.second.isEmpty() && !specification->getMappedName().isEmpty();
        if (named) table_.copySpecification(*specification, name, kind_);
    }
    // 7. A failed save has said so; the close goes on, and the command tells the host it did not keep
    // all the user asked for.
    if (!saveObjectMap(table_)) tarnwick::Host::noteFailure(host::kErrFile);
}

}   // namespace skellow
