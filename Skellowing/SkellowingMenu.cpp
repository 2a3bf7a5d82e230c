#include "Skellowing/SkellowingMenu.h"

#include "Environment/Host.h"
#include "Project/Library.h"
#include "Skellowing/ObjectMapTransaction.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

// The host's values, passed on unchanged: the prompts' list counted from the menu's (1: the next list,
// 32510, which holds the status-line prompts), where the menu goes, and its flags.
constexpr std::uint16_t kPromptList = 1;
constexpr std::uint32_t kMenuPosition = 13;
constexpr std::uint32_t kMenuFlags = 0;

}   // namespace

SkellowingMenu::SkellowingMenu() : MenuSubscriber(strings::kMenu, kPromptList, kMenuPosition, kMenuFlags) {}

bool SkellowingMenu::doCommand(const tarnwick::MenuEvent& event) {
    // The dialog's rows and the run look up the same few parts again and again; while the command lasts
    // only the command itself could change the library.
    tarnwick::Library* const library = tarnwick::Host::getLibrary();
    const std::shared_ptr<void> answers = library != nullptr ? library->keepAnswers() : nullptr;
    ObjectMapTransaction transaction(event);
    return (tarnwick::Host::makeTransaction(transaction) & 0xFF) != 0;
}

}   // namespace skellow
