#include "apps/window_program.h"
#include "lessons/apply/topics.h"

int main(int argc, char** argv) { return lk::run_window_program(lk::applylesson_program(), argc, argv); }
