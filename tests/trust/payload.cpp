// A small executable that the trust tests sign, leave unsigned or modify.
int main() {
    return 0;
}
