// One call of the multi-file command, its arguments kept for the test to set and to read afterwards.
#ifndef CORVEL_TESTS_MULTI_FILE_CALL_H
#define CORVEL_TESTS_MULTI_FILE_CALL_H

#include "FakeProvider.h"
#include "UiDriver.h"

#include <corvel/corvel.h>

#include <set>
#include <string>

struct MultiFileCall {
    std::set<std::string> files;
    std::set<std::string> otherFiles;
    FakeProvider provider;
    int result = -1;

    // Calls the export while `script` drives its dialog.
    void Run(ui::Script& script) {
        script.Run([this] { result = CorvelDoMultiFileOptions(files, provider, otherFiles, nullptr); });
    }
};

#endif // CORVEL_TESTS_MULTI_FILE_CALL_H
