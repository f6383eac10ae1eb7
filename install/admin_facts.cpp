#include "install/admin_facts.h"

#include <atomic>
#include <string>

#include "utils/admin_rights.h"

namespace {

AdminFacts SystemAdminFacts() {
    AdminFacts facts;
    std::wstring userName;
    facts.consoleUserAdmin = Utils::GetConsoleUserName(userName) && Utils::IsConsoleUserAdmin(userName);
    facts.processAdmin = Utils::IsProcessAdmin();
    return facts;
}

std::atomic<AdminFactsReader> g_Reader{&SystemAdminFacts};

}  // namespace

AdminFactsReader SetAdminFactsReader(AdminFactsReader reader) {
    return g_Reader.exchange(reader != nullptr ? reader : &SystemAdminFacts);
}

AdminFacts ReadAdminFacts() { return g_Reader.load()(); }
