#include "apps/window_program.h"
#include "lessons/practice/program.h"

int main(int argc, char** argv) { return lk::run_window_program(lk::practicelesson_program(), argc, argv); }
