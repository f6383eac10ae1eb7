// The two administrator facts handed to the package and the uninstaller. Read through a
// replaceable reader so that tests can present any combination.
#pragma once

struct AdminFacts {
    bool consoleUserAdmin = false;  // the user logged on at the console is an administrator
    bool processAdmin = false;      // this process runs with administrator rights
};

using AdminFactsReader = AdminFacts (*)();

// Installs a reader (nullptr restores the system's) and returns the previous one.
AdminFactsReader SetAdminFactsReader(AdminFactsReader reader);
AdminFacts ReadAdminFacts();
