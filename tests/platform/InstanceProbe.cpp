// Helper process for the process-count test: answers each line on stdin with
// InstanceCount() on stdout, and ends at the end of its input.
#include "platform/Processes.h"

#include <iostream>
#include <string>

int main() {
    std::string line;
    while (std::getline(std::cin, line))
        std::cout << InstanceCount() << std::endl;
    return 0;
}
