/* A straightforward C crestgrid with scanf and printf, to compare against. */
#include <stdio.h>

int main(void) {
  int m, n, h[21][21];
  scanf("%d%d", &m, &n);
  for (int r = 0; r < m; r++)
    for (int c = 0; c < n; c++)
      scanf("%d", &h[r][c]);
  for (int r = 0; r < m; r++)
    for (int c = 0; c < n; c++) {
      int top = 1;
      if (r - 1 >= 0 && h[r - 1][c] > h[r][c])
        top = 0;
      else if (r + 1 < m && h[r + 1][c] > h[r][c])
        top = 0;
      else if (c - 1 >= 0 && h[r][c - 1] > h[r][c])
        top = 0;
      else if (c + 1 < n && h[r][c + 1] > h[r][c])
        top = 0;
      if (top) printf("%d %d\n", r, c);
    }
  return 0;
}
