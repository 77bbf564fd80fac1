#include "os/ResourceTable.h"

#include "os/UserLanguage.h"

#include <mutex>

namespace os {

namespace {

struct ModuleTable {
    ModuleHandle module;
    const ResourceEntry* entries;
    size_t count;
};

struct Registry {
    std::mutex lock;
    std::vector<ModuleTable> tables;
};

// Never destroyed: lookups may come during the program's exit, and the tables
// registered stay reachable for as long as the process lives.
Registry& registry() {
    static Registry* instance = new Registry;
    return *instance;
}

constexpr uint16_t kEnglishUnitedStates = 0x0409;

// Finds (type, name) in one module's table; `accept` picks the language.
template <typename Accept>
const ResourceEntry* find(const ModuleTable& table, uint16_t type, uint16_t name, Accept accept) {
    for (size_t i = 0; i < table.count; ++i) {
        const ResourceEntry& e = table.entries[i];
        if (e.type == type && e.name == name && accept(e.language))
            return &e;
    }
    return nullptr;
}

// The neutral language, then the user's, then English, then whatever is there.
const ResourceEntry* findNeutral(const ModuleTable& table, uint16_t type, uint16_t name) {
    const uint16_t user = userDefaultLanguage();
    for (uint16_t wanted : {uint16_t(0), user, kEnglishUnitedStates})
        if (auto e = find(table, type, name, [&](uint16_t l) { return l == wanted; }))
            return e;
    return find(table, type, name, [](uint16_t) { return true; });
}

} // namespace

void registerResources(ModuleHandle module, const ResourceEntry* entries, size_t count) {
    Registry& r = registry();
    std::lock_guard<std::mutex> hold(r.lock);
    r.tables.push_back({module, entries, count});
}

ResourceRegistration::ResourceRegistration(const ResourceEntry* entries, size_t count) {
    registerResources(moduleOfAddress(entries), entries, count);
}

const ResourceEntry* findRegisteredResource(ModuleHandle module, uint16_t type, uint16_t name,
                                            uint16_t language) {
    Registry& r = registry();
    std::lock_guard<std::mutex> hold(r.lock);
    for (const ModuleTable& table : r.tables) {
        if (table.module != module)
            continue;
        const ResourceEntry* e =
            language == 0 ? findNeutral(table, type, name)
                          : find(table, type, name, [&](uint16_t l) { return l == language; });
        if (e)
            return e;
    }
    return nullptr;
}

bool registeredResourceLanguages(ModuleHandle module, uint16_t type, uint16_t name,
                                 std::vector<uint16_t>& languages) {
    Registry& r = registry();
    std::lock_guard<std::mutex> hold(r.lock);
    bool found = false;
    for (const ModuleTable& table : r.tables) {
        if (table.module != module)
            continue;
        for (size_t i = 0; i < table.count; ++i) {
            const ResourceEntry& e = table.entries[i];
            if (e.type == type && e.name == name) {
                languages.push_back(e.language);
                found = true;
            }
        }
    }
    return found;
}

bool isRegisteredResource(ResourceHandle resource) {
    Registry& r = registry();
    std::lock_guard<std::mutex> hold(r.lock);
    for (const ModuleTable& table : r.tables)
        if (resource >= table.entries && resource < table.entries + table.count)
            return true;
    return false;
}

} // namespace os
