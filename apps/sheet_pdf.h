#pragma once
// Printed practice sheets on the desktop: the command line that writes them
// without a window, and the printer the practice program's menu uses.
#include <string>
#include <vector>

#include "lessons/practice/sheet.h"

namespace lk {

// Writes pages as one vector PDF, A4 portrait; false, with the reason, when
// the file cannot be written.
bool write_sheets_pdf(const std::vector<practice::SheetPage>& pages, const std::string& path, std::string& error);

// practicelesson --sheet SET [--count N] [--seed S] [--sheets K]
//     [--key none|only|after] [--pdf FILE] [--png DIR] [--scale F]
// Returns false when the arguments ask for no sheets (the window runs);
// otherwise writes them and sets the exit status (2 for a bad argument,
// with a message in Japanese and English on stderr).
bool run_sheet_command(int argc, char** argv, int& status);

// The menu's printer: writes the PDF into the user's documents folder (the
// data folder where there is none) and opens it with xdg-open if present.
practice::PrintOutcome print_to_pdf(const practice::SheetRequest& request);

}  // namespace lk
