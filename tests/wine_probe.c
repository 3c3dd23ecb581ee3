/* Says that Wine really ran it: Wine's 64-bit loader, handed a 32-bit program it cannot run, prints nothing
   and exits 0, so the exit code alone proves nothing. */
#include <stdio.h>

int main(void) {
    printf("vendora-wine-probe: ran as a %u-bit program\n", (unsigned)(sizeof(void*) * 8));
    return 0;
}
