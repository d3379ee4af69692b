#include <cstdio>
#include <cstring>
#include <vector>

#include "apps/sheet_pdf.h"
#include "apps/window_program.h"
#include "lessons/practice/program.h"

int main(int argc, char** argv) {
    // Sheets asked for on the command line are written without a window.
    int status = 0;
    if (lk::run_sheet_command(argc, argv, status)) return status;
    // A teacher's request, as the page's address carries it after "#":
    //   practicelesson --request 'v1;s=solve-x-plus-b;n=10'
    // The rest of the arguments are the window's test options.
    const char* request = "";
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--request") != 0) {
            rest.push_back(argv[i]);
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "%s: --request の後に先生からの問題の指定がありません。\n", argv[0]);
            return 2;
        }
        request = argv[++i];
    }
    rest.push_back(nullptr);
    static const lk::ProgramDef program = lk::practicelesson_program(lk::print_to_pdf, request);
    return lk::run_window_program(program, static_cast<int>(rest.size()) - 1, rest.data());
}
