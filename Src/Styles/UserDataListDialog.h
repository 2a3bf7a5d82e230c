// UserDataListDialog: a user-data dialog whose records are listed in a UserDataListView, with the status
// popup as one of the list's filters and the name field as the editor of its name column.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "Styles/UserDataDialog.h"
#include "Styles/UserDataStatusFilter.h"

namespace tarnwick {

template <typename Database>
class UserDataListDialog : public UserDataDialog<Database> {
public:
    using Base = UserDataDialog<Database>;
    using View = typename Base::View;
    using iterator = typename Base::iterator;

    // The list has at least one column; the name column is limited to the columns there are. The name
    // field and the list lie on the items after 10: 11 + the name column and 11 + the column count.
    UserDataListDialog(std::uint16_t resourceId, const String& title, std::int16_t nameColumn,
                       std::int16_t columnCount, bool withDeletedRecords)
        : Base(resourceId, title, withDeletedRecords),
          columnCount_(static_cast<std::uint16_t>(std::max<std::int16_t>(columnCount, 1))),
          nameColumn_(static_cast<std::uint16_t>(std::clamp<std::int32_t>(nameColumn, 0, columnCount_ - 1))),
          viewItem_(static_cast<std::uint16_t>(Base::kNameItem + columnCount)) {
        this->setNameItem(static_cast<std::uint16_t>(Base::kNameItem + nameColumn));
    }

    std::uint16_t getNameColumn() const override { return nameColumn_; }
    std::uint16_t getViewItem() const { return viewItem_; }
    void setViewItem(std::uint16_t item) { viewItem_ = item; }

    void createControls() override {
        if (this->getView() == nullptr)
            this->setView(
                &DialogControl::make<View>(ControlLink(viewItem_, this), nameColumn_, columnCount_));
        Base::createControls();
    }
    void installStatusFilter(UserDataStatusMenu& popup) override {
        if (View* view = this->getView())
            view->addFilter(std::make_shared<UserDataStatusFilter<Database>>(&popup));
    }
    void initControls() override {
        Base::initControls();
        if (View* view = this->getView()) view->setNameEditor(this->getNameField());
    }
    iterator fillView(const Guid& key, const iterator& row) override {
        View* view = this->getView();
        return view != nullptr ? view->fill(this->getDatabase(), key, row) : iterator();
    }

private:
    std::uint16_t columnCount_;
    std::uint16_t nameColumn_;
    std::uint16_t viewItem_;
};

}   // namespace tarnwick
