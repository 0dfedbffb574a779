// Placeholder until the hive lands.
#include "platform/registry/registry.h"
namespace snapwire::reg {
void UseHiveFile(const std::string&) {}
void CloseHive() {}
}  // namespace snapwire::reg
