#include "Skellowing/SkellowingMenu.h"

#include "Environment/Host.h"
#include "Project/Library.h"
#include "Skellowing/ObjectMapTransaction.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

constexpr std::uint32_t kMenuPosition = 13;   // the host's code for where the menu goes
constexpr std::uint32_t kMenuFlags = 0;

}   // namespace

// The host takes the prompt list's id beside the menu's; the prompts are list 32510.
SkellowingMenu::SkellowingMenu()
    : MenuSubscriber(strings::kMenu, strings::kPrompts, kMenuPosition, kMenuFlags) {}

bool SkellowingMenu::doCommand(const tarnwick::MenuEvent& event) {
    // The dialog's rows and the run look up the same few parts again and again; while the command lasts
    // only the command itself could change the library.
    tarnwick::Library* const library = tarnwick::Host::getLibrary();
    const std::shared_ptr<void> answers = library != nullptr ? library->keepAnswers() : nullptr;
    ObjectMapTransaction transaction(event);
    return (tarnwick::Host::makeTransaction(transaction) & 0xFF) != 0;
}

}   // namespace skellow
