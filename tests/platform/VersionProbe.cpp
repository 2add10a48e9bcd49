// A Linux program we build with a version note (tl_stamp_version); the version tests read it.
int main() {
    return 0;
}
