#include "Interface/NameRequest.h"

#include <memory>
#include <string>

#include <HostDialogLibrary.h>

#include "Environment/Addon.h"
#include "Environment/Host.h"
#include "Environment/ItemMessage.h"
#include "Interface/ActionEvent.h"
#include "Interface/Dialog.h"
#include "Interface/EditText.h"
#include "Interface/ErrorAlert.h"
#include "Interface/StaticText.h"

namespace tarnwick {
namespace {

// Items of the dialog, and the framework's texts it uses.
constexpr std::uint16_t kPromptItem = 3;
constexpr std::uint16_t kNameItem = 4;
constexpr std::int32_t kDefaultTitle = 8;      // "New Name Entry"
constexpr std::int32_t kDefaultPrompt = 9;     // "Please specify a name"
constexpr std::int32_t kUnsuitableName = 10;   // "Sorry, this name is unsuitable."
constexpr std::int32_t kNulInName = 28;        // "A name cannot hold a NUL character ..."

class RequestDialog : public Dialog {
public:
    explicit RequestDialog(NameRequest& request)
        : Dialog(NameRequest::kDialogId, /*modal=*/true, /*resizeOnOpen=*/true, /*rememberPosition=*/false),
          request_(request) {}
    ~RequestDialog() override = default;

    void initialise() override {
        // 1.
        prompt_ = &DialogControl::make<StaticText>(ControlLink(kPromptItem, this));
        name_ = &DialogControl::make<EditText>(ControlLink(kNameItem, this));
        // 2. and 3.
        const String& title = request_.getTitle();
        const String& prompt = request_.getPrompt();
        setTitle(title.isEmpty() ? Host::getString(Addon::kFrameworkStrings, kDefaultTitle) : title);
        prompt_->setText(prompt.isEmpty() ? Host::getString(Addon::kFrameworkStrings, kDefaultPrompt)
                                          : prompt);
        name_->setText(request_.getName());
    }

    void close(const ActionEvent& event) override {
        // A text ends at a NUL, so the name would be cut short there without a word: refused instead.
        if (host::DGGetItemText(getPanelId(), static_cast<std::int16_t>(kNameItem)).find('\0') !=
            std::string::npos) {
            ErrorAlert().show(Host::getString(Addon::kFrameworkStrings, kNulInName));
            sendItemMessage(event, std::make_shared<ItemMessage>(0));   // the dialog stays open
            return;
        }
        const String text = name_->getText();
        // 1. and 2.
        if (NameRequest::Filter* filter = request_.getFilter()) {
            String message = Host::getString(Addon::kFrameworkStrings, kUnsuitableName);
            if (!filter->accept(text, message)) {
                if (!message.isEmpty()) ErrorAlert().show(message);
                sendItemMessage(event, std::make_shared<ItemMessage>(0));   // the dialog stays open
                return;
            }
        }
        // 3.
        result_ = text;
    }

    void detach() override {   // the controls go with the closed dialog
        prompt_ = nullptr;
        name_ = nullptr;
        Dialog::detach();
    }

    const String& getResult() const { return result_; }

private:
    NameRequest& request_;
    StaticText* prompt_ = nullptr;   // owned by the panel while open
    EditText* name_ = nullptr;
    String result_;
};

}   // namespace

bool NameRequest::Filter::accept(const String&, String&) { return true; }

NameRequest::NameRequest(Filter* filter, const String& title, const String& prompt, const String& name)
    : filter_(filter), title_(title), prompt_(prompt), name_(name) {}

String NameRequest::request() {
    // 1.
    if (asked_) return name_;
    // 2. to 4.
    asked_ = 1;
    RequestDialog dialog(*this);
    if (dialog.open() == kDialogAccepted)
        name_ = dialog.getResult();
    else
        cancelled_ = 1;
    return name_;
}

}   // namespace tarnwick
