#include "SimProject.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

namespace host {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kFormat = "skellow-host project";
constexpr int kFormatVersion = 1;

struct LoadError {
    std::string what;
};

// --- Module data bytes: kept as text when they are UTF-8 without NULs, else as base64 ----------
bool isPlainUtf8(const std::vector<unsigned char>& bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = bytes[i];
        int more = 0;
        std::uint32_t code = 0;
        if (c == 0) return false;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, code = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(more) >= bytes.size()) return false;   // cut short
        for (int k = 1; k <= more; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF would not come back byte for byte.
        static constexpr std::uint32_t kLowest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLowest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string toBase64(const std::vector<unsigned char>& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t n = (std::uint32_t(bytes[i]) << 16) |
                                (i + 1 < bytes.size() ? std::uint32_t(bytes[i + 1]) << 8 : 0) |
                                (i + 2 < bytes.size() ? std::uint32_t(bytes[i + 2]) : 0);
        out += kBase64[(n >> 18) & 63];
        out += kBase64[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kBase64[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
    }
    return out;
}

std::vector<unsigned char> fromBase64(const std::string& text) {
    if (text.size() % 4 != 0) throw LoadError{"\"base64\" is not base64 (length)"};
    std::vector<unsigned char> out;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::uint32_t n = 0;
        int pad = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            std::uint32_t v = 0;
            if (c == '=' && i + 4 == text.size() && k >= 2) {
                ++pad;
            } else {
                const char* at = pad ? nullptr : std::char_traits<char>::find(kBase64, 64, c);
                if (!at) throw LoadError{"\"base64\" is not base64"};
                v = static_cast<std::uint32_t>(at - kBase64);
            }
            n = (n << 6) | v;
        }
        out.push_back(static_cast<unsigned char>(n >> 16));
        if (pad < 2) out.push_back(static_cast<unsigned char>(n >> 8));
        if (pad < 1) out.push_back(static_cast<unsigned char>(n));
    }
    return out;
}

// --- Reading helpers ---------------------------------------------------------------------------
void onlyKeys(const Json& object, std::initializer_list<const char*> keys, const std::string& where) {
    for (const auto& [key, value] : object.items()) {
        bool known = false;
        for (const char* k : keys) known = known || key == k;
        if (!known) throw LoadError{where + ": unknown key \"" + key + "\""};
    }
}

template <typename T>
T required(const Json& object, const char* key, const std::string& where) {
    const auto found = object.find(key);
    if (found == object.end()) throw LoadError{where + ": needs \"" + key + "\""};
    try {
        return found->get<T>();
    } catch (const nlohmann::json::exception&) {
        throw LoadError{where + ": \"" + key + "\" has the wrong type"};
    }
}

ModuleDataEntry readModuleData(const Json& entry, const std::string& where, std::string& addon,
                               std::string& name) {
    if (!entry.is_object()) throw LoadError{where + ": not an object"};
    onlyKeys(entry, {"addon", "name", "version", "platformSign", "text", "base64"}, where);
    addon = required<std::string>(entry, "addon", where);
    name = required<std::string>(entry, "name", where);
    ModuleDataEntry data;
    data.version = required<std::int32_t>(entry, "version", where);
    const auto sign = required<std::int64_t>(entry, "platformSign", where);
    if (sign < 0 || sign > 0xFFFF) throw LoadError{where + ": \"platformSign\" must be 0 to 65535"};
    data.platformSign = static_cast<std::uint16_t>(sign);
    if (entry.contains("text") == entry.contains("base64"))
        throw LoadError{where + ": needs either \"text\" or \"base64\""};
    if (entry.contains("text")) {
        const auto text = required<std::string>(entry, "text", where);
        data.bytes.assign(text.begin(), text.end());
    } else {
        try {
            data.bytes = fromBase64(required<std::string>(entry, "base64", where));
        } catch (const LoadError& e) {
            throw LoadError{where + ": " + e.what};
        }
    }
    return data;
}

}   // namespace

bool SimProject::loadText(const std::string& json, std::string& error) {
    const Json root = Json::parse(json, nullptr, /*allow_exceptions=*/false);
    if (root.is_discarded()) {
        error = "not valid JSON";
        return false;
    }
    try {
        if (!root.is_object()) throw LoadError{"the project must be a JSON object"};
        onlyKeys(root, {"format", "version", "name", "suspendGroups", "moduleData"}, "project");
        if (root.contains("format") && required<std::string>(root, "format", "project") != kFormat)
            throw LoadError{std::string("project: \"format\" must be \"") + kFormat + "\""};
        if (root.contains("version") && required<int>(root, "version", "project") != kFormatVersion)
            throw LoadError{"project: version " + root["version"].dump() + " is not known; this host reads " +
                            std::to_string(kFormatVersion)};
        SimProject loaded;
        loaded.name = root.contains("name") ? required<std::string>(root, "name", "project") : "";
        loaded.state.suspendGroups =
            root.contains("suspendGroups") && required<bool>(root, "suspendGroups", "project");
        if (root.contains("moduleData")) {
            const Json& list = root["moduleData"];
            if (!list.is_array()) throw LoadError{"project: \"moduleData\" must be a list"};
            for (std::size_t i = 0; i < list.size(); ++i) {
                const std::string where = "moduleData[" + std::to_string(i) + "]";
                std::string addon, name;
                ModuleDataEntry data = readModuleData(list[i], where, addon, name);
                if (!loaded.state.moduleData.emplace(std::make_pair(addon, name), std::move(data)).second)
                    throw LoadError{where + ": \"" + addon + "\" already has module data named \"" + name +
                                    "\""};
            }
        }
        *this = std::move(loaded);
        return true;
    } catch (const LoadError& e) {
        error = e.what;
        return false;
    }
}

bool SimProject::loadFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!loadText(text.str(), error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::string SimProject::saveText() const {
    Json root;
    root["format"] = kFormat;
    root["version"] = kFormatVersion;
    root["name"] = name;
    root["suspendGroups"] = state.suspendGroups;
    Json list = Json::array();
    for (const auto& [key, data] : state.moduleData) {   // the map keeps them in (add-on, name) order
        Json entry;
        entry["addon"] = key.first;
        entry["name"] = key.second;
        entry["version"] = data.version;
        entry["platformSign"] = data.platformSign;
        if (isPlainUtf8(data.bytes))
            entry["text"] = std::string(data.bytes.begin(), data.bytes.end());
        else
            entry["base64"] = toBase64(data.bytes);
        list.push_back(std::move(entry));
    }
    root["moduleData"] = std::move(list);
    return root.dump(2) + "\n";
}

bool SimProject::saveFile(const std::string& path, std::string& error) const {
    const std::string temporary = path + ".partial";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << saveText();
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            error = path + ": cannot be written";
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        error = path + ": cannot be written: " + ec.message();
        return false;
    }
    return true;
}

void SimProject::pushUndoStep(std::string stepName, ProjectState before) {
    undo_.push_back({std::move(stepName), std::move(before)});
}

bool SimProject::undo() {
    if (undo_.empty()) return false;
    state = std::move(undo_.back().before);
    undo_.pop_back();
    return true;
}

}   // namespace host
