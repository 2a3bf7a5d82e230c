#include "Skellowing/ObjectSelectionDialog.h"

#include <algorithm>
#include <array>

#include "Environment/ItemEvent.h"
#include "Environment/ResizeEvent.h"
#include "Interface/Button.h"
#include "Interface/ItemSubscriber.h"
#include "Interface/ListControl.h"
#include "Interface/ResizeSubscriber.h"
#include "Skellowing/ListDialogLayout.h"

namespace skellow {
namespace {

using tarnwick::ControlLink;
using tarnwick::DialogControl;
using tarnwick::ScreenPoint;

constexpr std::uint16_t kOk = 1;
constexpr std::uint16_t kCancel = 2;
constexpr std::uint16_t kList = 4;
constexpr std::int16_t kWidth = 300;   // the resource's client size, also the smallest and the widest
constexpr std::int16_t kHeight = 299;
constexpr std::uint16_t kColumnWidth = 238;

}   // namespace

class ObjectSelectionDialog::ResizePalette : public tarnwick::ResizeSubscriber {
public:
    explicit ResizePalette(ObjectSelectionDialog& dialog) : dialog_(dialog) {}
    bool handle(const tarnwick::ResizeEvent& event) override {
        if (event.getPhase() != tarnwick::ResizeEvent::kResized ||
            (event.getHorizontalChange() == 0 && event.getVerticalChange() == 0) || !dialog_.list_)
            return false;
        const std::array<DialogControl*, 2> buttons{dialog_.ok_, dialog_.cancel_};
        fitListDialog(dialog_, kWidth, *dialog_.list_, buttons);
        return true;
    }

private:
    ObjectSelectionDialog& dialog_;
};

class ObjectSelectionDialog::ChangeSelection : public tarnwick::ItemSubscriber {
public:
    explicit ChangeSelection(ObjectSelectionDialog& dialog) : dialog_(dialog) {}
    bool handle(const tarnwick::ItemEvent& event) override {
        if (event.getItemId() != kList || !dialog_.list_ || !dialog_.ok_) return false;
        dialog_.ok_->setEnabled(dialog_.list_->getSelected(0) != tarnwick::ListControl::kNone);
        return true;
    }

private:
    ObjectSelectionDialog& dialog_;
};

ObjectSelectionDialog::ObjectSelectionDialog(LibraryPartList& candidates)
    : Dialog(kResourceId, /*modal=*/true, /*resizeOnOpen=*/true, /*rememberPosition=*/false),
      resizePalette_(std::make_unique<ResizePalette>(*this)),
      changeSelection_(std::make_unique<ChangeSelection>(*this)),
      candidates_(candidates) {}

ObjectSelectionDialog::~ObjectSelectionDialog() = default;

void ObjectSelectionDialog::initialise() {
    // 1. The controls.
    list_ = &DialogControl::make<tarnwick::ListControl>(ControlLink(kList, this), 0, 1);
    ok_ = &DialogControl::make<tarnwick::Button>(ControlLink(kOk, this));
    cancel_ = &DialogControl::make<tarnwick::Button>(ControlLink(kCancel, this));
    // 2. and 3. The size and the handlers.
    setMinimumSize(ScreenPoint(kWidth, kHeight));
    subscribe(*resizePalette_);
    list_->setColumnProperties(tarnwick::ListControl::ColumnProperty(kColumnWidth), 0);
    list_->applyColumns();
    list_->subscribe(*changeSelection_);
    // 4. By name in any letter case; equal names keep their order.
    std::stable_sort(candidates_.begin(), candidates_.end(),
                     [](const LibraryPartEntry& a, const LibraryPartEntry& b) {
                         return a.name.toLower() < b.name.toLower();
                     });
    // 5. One row a candidate, as many as the list holds: a name that matches more parts is too short to
    // choose by.
    if (candidates_.size() > static_cast<std::size_t>(tarnwick::ListControl::kMaxRows))
        candidates_.resize(static_cast<std::size_t>(tarnwick::ListControl::kMaxRows));
    list_->setDimensions(0, 1);
    list_->setDimensions(static_cast<std::int16_t>(candidates_.size()), 1);
    for (std::size_t i = 0; i < candidates_.size(); ++i)
        list_->setCellText(candidates_[i].name, static_cast<std::int16_t>(i), 0);
    // 6.
    list_->select(true, 0);
    result_ = 0;
    ok_->setEnabled(!candidates_.empty());
}

void ObjectSelectionDialog::close(const tarnwick::ActionEvent&) {
    const std::uint16_t row = list_ ? list_->getSelected(0) : tarnwick::ListControl::kNone;
    if (row != tarnwick::ListControl::kNone && row < candidates_.size()) result_ = row;
}

void ObjectSelectionDialog::detach() {
    list_ = nullptr;
    ok_ = nullptr;
    cancel_ = nullptr;
    Dialog::detach();
}

const LibraryPartEntry* ObjectSelectionDialog::getResult() const {
    return result_ < candidates_.size() ? &candidates_[result_] : nullptr;
}

}   // namespace skellow
