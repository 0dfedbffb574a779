#include <cstdio>
int main() { std::puts("snapwire-reg: not built yet"); return 1; }
