#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "apps/sheet_pdf.h"
#include "apps/window_program.h"
#include "lessons/practice/program.h"
#include "lessons/practice/sets.h"

namespace {

// Reads a teacher's list of equations (--equations FILE) and adds it as a
// set; false, having said why, when it cannot be read or a line is refused.
bool add_equations(const char* program, const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in) {
        text.resize(lk::problems::kMaxListBytes + 1);
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(in.gcount()));
    }
    if (!in && !in.eof()) {
        std::fprintf(stderr, "%s: %s を読めません。\n", program, path);
        return false;
    }
    const lk::problems::ListReading reading = lk::problems::read_equation_list(text);
    if (!reading.ok) {
        std::fprintf(stderr, "%s: %s: %s\n", program, path, reading.error.c_str());
        return false;
    }
    lk::practice::add_list_set(reading.list);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // A teacher's list of equations, as one more practice set for this run
    // (and for --sheet list):  practicelesson --equations FILE
    std::vector<char*> args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--equations") != 0) {
            args.push_back(argv[i]);
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "%s: --equations の後にファイルの名前がありません。\n", argv[0]);
            return 2;
        }
        if (!add_equations(argv[0], argv[++i])) return 2;
    }
    argc = static_cast<int>(args.size());
    args.push_back(nullptr);
    argv = args.data();
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
