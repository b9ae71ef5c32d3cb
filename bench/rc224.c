/* A plain-array build of the 224-symbol cipher with whole-buffer I/O: the
   practical speed limit to compare the program against. It reads the same piped
   dialogue as the program ("c", the line, the key, "n", "s", one a line),
   encrypts the line and writes the cipher line. CMake builds it with the
   benchmarks as build/bench/rc224 (by hand: cc -O2 -o rc224 bench/rc224.c). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static unsigned char *read_all(size_t *n) {
    size_t cap = 1 << 20, len = 0;
    unsigned char *b = malloc(cap);
    size_t r;
    while ((r = fread(b + len, 1, cap - len, stdin)) > 0) {
        len += r;
        if (len == cap) { cap *= 2; b = realloc(b, cap); }
    }
    *n = len;
    return b;
}

int main(void) {
    size_t n;
    unsigned char *in = read_all(&n);
    unsigned char *p = (unsigned char *)memchr(in, '\n', n) + 1; /* menu answer */
    unsigned char *e = memchr(p, '\n', n - (p - in));           /* end of line */
    unsigned char *k = e + 1;
    unsigned char *ke = memchr(k, '\n', n - (k - in));
    size_t len = e - p, L = ke - k;
    unsigned char S[224];
    for (unsigned i = 0; i < 224; i++) S[i] = i;
    unsigned j = 0;
    for (unsigned i = 0; i < 224; i++) {
        j = (k[i % L] + S[i] + j) % 224;
        unsigned char t = S[i]; S[i] = S[j]; S[j] = t;
    }
    unsigned i = 224;
    unsigned char *out = malloc(len ? len : 1);
    for (size_t q = 0; q < len; q++) {
        unsigned c = p[q];
        if (c < 32) { out[q] = c; continue; }
        i = i + 1; if (i >= 224) i -= 224;
        j = j + S[i]; if (j >= 224) j -= 224;
        unsigned char a = S[i], b = S[j];
        S[i] = b; S[j] = a;
        unsigned t = a + b; if (t >= 224) t -= 224;
        unsigned v = (c - 32) + S[t]; if (v >= 224) v -= 224;
        out[q] = v + 32;
    }
    fwrite(out, 1, len, stdout);
    fputc('\n', stdout);
    return fclose(stdout) != 0;
}
