/* A straightforward C meanboard with scanf and printf, to compare against. */
#include <stdio.h>

int main(void) {
  int number[10], a[10], b[10], c[10];
  float mean[10];
  for (int i = 0; i < 10; i++) {
    scanf("%d %d %d %d", &number[i], &a[i], &b[i], &c[i]);
    mean[i] = (a[i] + b[i] + c[i]) / 3.0;
  }
  for (int i = 0; i < 9; i++)
    for (int j = i + 1; j < 10; j++)
      if (mean[j] > mean[i]) {
        int t;
        float m = mean[i];
        mean[i] = mean[j];
        mean[j] = m;
        t = number[i];
        number[i] = number[j];
        number[j] = t;
        t = a[i];
        a[i] = a[j];
        a[j] = t;
        t = b[i];
        b[i] = b[j];
        b[j] = t;
        t = c[i];
        c[i] = c[j];
        c[j] = t;
      }
  for (int i = 0; i < 10; i++)
    printf("%d-%d-%d-%d-%.2f\n", number[i], a[i], b[i], c[i], mean[i]);
  return 0;
}
