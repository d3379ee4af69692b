#include "apps/window_program.h"
#include "lessons/solve/topics.h"

int main(int argc, char** argv) { return lk::run_window_program(lk::solvelesson_program(), argc, argv); }
