#include "console/driver.hpp"

int main() { stampwise::MAIN(); }
