// Built with every object of the portable core and nothing of the OS layer: a call from
// the core into an OS implementation breaks this link, instead of being met by whichever
// library happens to follow on a program's link line.
int main() { return 0; }
