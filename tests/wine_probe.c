/* Exits 0 when Wine could start it. */
int main(void) {
    return 0;
}
