// shell/main.cpp: placeholder entry point until the command loop lands.
int main() { return 0; }
