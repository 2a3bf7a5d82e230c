#include "Styles/DeletedRecord.h"

#include <string>

#include <FourCC.h>

#include "Environment/Host.h"
#include "Foundation/XMLTypeProxy.h"

namespace tarnwick {
namespace {

constexpr std::string_view kChildTags[] = {"name", "package", "deleted"};
constexpr std::int16_t kUserDataStrings = 32703;
constexpr std::int32_t kDeletedItem = 23;

// A four-character code as its four characters; a text of another length is refused.
class CodeProxy final : public XMLProxy {
public:
    // Left out while no code is set: a code of four printable characters is what reads back.
    CodeProxy(std::uint32_t& code, std::string_view tag)
        : XMLProxy(tag, /*isAttribute=*/true, {}, /*present=*/code != 0), code_(code) {}
    bool setFromText(std::string_view text) override {
        const auto code = host::fourccFromText(text);
        if (!code) return false;
        code_ = *code;
        return true;
    }
    bool getText(std::string& text) const override {
        text = host::fourccText(code_);
        return true;
    }

private:
    std::uint32_t& code_;
};

}   // namespace

DeletedRecord::~DeletedRecord() = default;

String DeletedRecord::getListName() const { return Host::getString(kUserDataStrings, kDeletedItem); }

bool DeletedRecord::differs(const UserRecord& other) const {
    const auto* const record = dynamic_cast<const DeletedRecord*>(&other);
    return !record || record->name_ != name_ || record->packageCode_ != packageCode_ ||
           record->deleted_ != deleted_;
}

std::shared_ptr<UserRecord> DeletedRecord::cloneRecord() const {
    return std::make_shared<DeletedRecord>(*this);
}

std::unique_ptr<XMLAssembly> DeletedRecord::clone() const { return std::make_unique<DeletedRecord>(*this); }

void DeletedRecord::clear() {
    name_.clear();
    packageCode_ = 0;
    deleted_ = false;
    modified_ = DateTime();
    UserRecord::clear();
}

std::span<const std::string_view> DeletedRecord::getChildTags() const { return kChildTags; }

std::unique_ptr<XMLProxy> DeletedRecord::makeChildProxy(std::size_t index) {
    switch (index) {
        case 0:
            return std::make_unique<XMLTypeProxy<String>>(name_, kChildTags[0], /*isAttribute=*/true);
        case 1:
            return std::make_unique<CodeProxy>(packageCode_, kChildTags[1]);
        case 2:
            return std::make_unique<XMLTypeProxy<bool>>(deleted_, kChildTags[2]);
        default:
            return nullptr;
    }
}

}   // namespace tarnwick
