// The program's entry.
#include "mainwindow/program_start.h"

int main(int argc, char** argv) { return RunProgram(argc, argv); }
