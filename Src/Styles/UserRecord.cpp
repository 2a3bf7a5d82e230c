#include "Styles/UserRecord.h"

namespace tarnwick {

UserRecord::~UserRecord() = default;

}   // namespace tarnwick
