// ObjectSelectionDialog: the modal "Object Selection" dialog: when a typed replacement name fits more
// than one loaded part, the user picks one of them from a sorted list.
#pragma once

#include <cstdint>
#include <memory>

#include "Interface/Dialog.h"
#include "Skellowing/SourceGroups.h"

namespace tarnwick {
class Button;
class ListControl;
}   // namespace tarnwick

namespace skellow {

// Borrows the candidates and sorts them in place when it opens (by lower-case name, equal names keeping
// their order). The choice is the first candidate until the dialog is accepted with a row selected; a
// cancelled dialog leaves it so, and the caller tells the two apart by what open() answered.
class ObjectSelectionDialog : public tarnwick::Dialog {
public:
    static constexpr std::uint16_t kResourceId = 32511;

    explicit ObjectSelectionDialog(LibraryPartList& candidates);
    ~ObjectSelectionDialog() override;

    void initialise() override;                                // the list, filled and its first row selected
    void close(const tarnwick::ActionEvent& event) override;   // OK: the selected row's candidate
    void detach() override;

    const LibraryPartEntry* getResult() const;   // null when there are no candidates

private:
    class ResizePalette;
    class ChangeSelection;

    std::unique_ptr<ResizePalette> resizePalette_;
    std::unique_ptr<ChangeSelection> changeSelection_;
    LibraryPartList& candidates_;
    std::size_t result_ = 0;
    tarnwick::ListControl* list_ = nullptr;   // the controls belong to the panel while it is open
    tarnwick::Button* ok_ = nullptr;
    tarnwick::Button* cancel_ = nullptr;
};

}   // namespace skellow
