/* A plain C helixmate with gets and puts, to compare against. */
#include <stdio.h>
#include <string.h>

char* gets(char* line); /* gone from the headers, still in the C library */

int main(void) {
  static char slot[100][255];
  int n;
  scanf("%d", &n);
  for (int i = 0; i <= n; i++) {
    gets(slot[i]);
    int length = strlen(slot[i]);
    for (int j = 0; j < length; j++) {
      char c = slot[i][j];
      slot[i][j] = c == 'A' ? 'T' : c == 'T' ? 'A' : c == 'G' ? 'C' : c == 'C' ? 'G' : c;
    }
  }
  for (int i = 1; i <= n; i++)
    puts(slot[i]);
  return 0;
}
