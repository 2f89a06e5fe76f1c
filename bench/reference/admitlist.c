/* A straightforward C admitlist with scanf and printf, to compare against. */
#include <stdio.h>

int main(void) {
  int m, k = 0, number[999], admitted_number[999];
  float threshold, rating[999], admitted_rating[999];
  scanf("%d %f", &m, &threshold);
  for (int i = 0; i < m; i++)
    scanf("%d %f", &number[i], &rating[i]);
  for (int i = 0; i < m; i++)
    if (rating[i] >= threshold) {
      admitted_number[k] = number[i];
      admitted_rating[k] = rating[i];
      k++;
    }
  if (k == 0) printf("None.");
  for (int p = 0; p < k - 1; p++)
    for (int i = 0; i < k - 1 - p; i++)
      if (admitted_rating[i + 1] > admitted_rating[i]) {
        int t = admitted_number[i];
        admitted_number[i] = admitted_number[i + 1];
        admitted_number[i + 1] = t;
        float r = admitted_rating[i];
        admitted_rating[i] = admitted_rating[i + 1];
        admitted_rating[i + 1] = r;
      }
  for (int i = 0; i < k; i++)
    printf("%03d %.1f\n", admitted_number[i], admitted_rating[i]);
  return 0;
}
