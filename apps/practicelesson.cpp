#include "apps/sheet_pdf.h"
#include "apps/window_program.h"
#include "lessons/practice/program.h"

int main(int argc, char** argv) {
    // Sheets asked for on the command line are written without a window.
    int status = 0;
    if (lk::run_sheet_command(argc, argv, status)) return status;
    static const lk::ProgramDef program = lk::practicelesson_program(lk::print_to_pdf);
    return lk::run_window_program(program, argc, argv);
}
