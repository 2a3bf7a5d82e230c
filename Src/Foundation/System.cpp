#include "Foundation/System.h"

#include <HostFiles.h>

#include "Foundation/Directory.h"
#include "Foundation/String.h"

namespace tarnwick {

std::unique_ptr<Directory> System::getSpecialFolder5() {
    const auto path = host::specialFolder(host::kFolderApplicationData);
    if (!path) return nullptr;
    return std::make_unique<Directory>(FileLocation(*path), /*create=*/false);
}

host::ScreenPosition System::getMousePosition() { return host::mousePosition(); }

host::WindowId System::findWindowByTitle(const String& title) {
    return host::findWindowByTitle(std::string(title.getView()));
}

}   // namespace tarnwick
