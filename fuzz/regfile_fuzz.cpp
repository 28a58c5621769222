#include "app/regfile.h"

#include <cstdlib>

// Any bytes merged as a registry export: never a crash, and whatever reads back as a default
// value fits the buffer it was asked for.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    zelp::RegFileRegistry registry;
    if (!registry.merge(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)))) {
        return 0;
    }
    for (const zelp::RegistryRoot root :
         {zelp::RegistryRoot::CurrentUser, zelp::RegistryRoot::LocalMachine,
          zelp::RegistryRoot::ClassesRoot}) {
        for (const char *key : {"A", "Software\\Mirel\\ZELP2K\\HomePath",
                                "VelmarisInternetClient2.ZLInetCli\\Clsid"}) {
            const auto value = registry.queryDefaultValue(root, key, 1024);
            if (value && value->size() >= 1024) {
                std::abort();
            }
        }
    }
    return 0;
}
