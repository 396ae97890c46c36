// An empty console program: what starting a static console program costs under Wine, the
// benchmark's baseline for the console companion.
int main() {
    return 0;
}
