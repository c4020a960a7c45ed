#include "cli_app.h"

int main(int argc, char** argv) { return corvat::RunCli(argc, argv); }
