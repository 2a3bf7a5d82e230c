#include "Project/Database.h"

namespace tarnwick {

Database::~Database() = default;

}   // namespace tarnwick
