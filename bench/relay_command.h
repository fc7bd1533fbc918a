#pragma once
// zib_bench's one command that is not a benchmark: the test relay as a process (relay_command.cpp).

namespace zib {

bool isRelayCommand(int argc, char** argv);
int runRelayCommand(int argc, char** argv);

}  // namespace zib
