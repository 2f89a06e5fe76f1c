// admitlist: admits the patients whose rating reaches a threshold and lists them from the
// highest rating down.
//
// Input: the patient count M and the threshold, then M pairs "number rating".
// Output: "number rating" per admitted patient, the number with at least three digits and
// the rating with one decimal; "None." with no line end when nobody is admitted.

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "console/frame.hpp"

namespace {

constexpr std::size_t capacity = 999;

struct Patient {
  std::int32_t number;
  float rating;
};

struct Patients {
  std::size_t count = 0;
  std::array<Patient, capacity> row{};
};

struct Ward {
  float threshold = 0;
  Patients patients;
};

Ward read_ward(console::Input& in) {
  Ward ward;
  const std::int32_t count = in.whole();
  const std::int64_t count_line = in.line_number();
  ward.threshold = in.real();
  if (count <= 0) return ward;  // nobody to read
  ward.patients.count = static_cast<std::size_t>(count);
  if (ward.patients.count > capacity)
    console::refuse_count(count_line, capacity, "patients", count);
  for (std::size_t i = 0; i < ward.patients.count; ++i) {
    ward.patients.row[i].number = in.whole();
    ward.patients.row[i].rating = in.real();
  }
  return ward;
}

// The patients whose rating reaches the threshold, in input order.
Patients admit(const Ward& ward) {
  Patients admitted;
  for (std::size_t i = 0; i < ward.patients.count; ++i) {
    const Patient& patient = ward.patients.row[i];
    if (patient.rating >= ward.threshold) admitted.row[admitted.count++] = patient;
  }
  return admitted;
}

// By decreasing rating, rows of equal rating in input order: the order of a bubble sort that
// exchanges neighbours only when the later rating is strictly greater. A stable sort gives
// exactly that order, since ratings are finite and so every two of them compare.
void sort_by_rating(Patients& patients) {
  const auto admitted = std::span(patients.row).first(patients.count);
  std::stable_sort(admitted.begin(), admitted.end(),
                   [](const Patient& a, const Patient& b) { return a.rating > b.rating; });
}

void write_admitted(const Patients& admitted, console::Output& out) {
  if (admitted.count == 0) out.put("None.");
  for (std::size_t i = 0; i < admitted.count; ++i) {
    out.whole(admitted.row[i].number, 3);
    out.put(' ');
    out.fixed(admitted.row[i].rating, 1);
    out.put('\n');
  }
}

void job(console::Input& in, console::Output& out) {
  const Ward ward = read_ward(in);
  Patients admitted = admit(ward);
  sort_by_rating(admitted);
  write_admitted(admitted, out);
}

// What --help says of it.
constexpr std::string_view help =
    "Admit the patients whose rating reaches a threshold, highest rating first.\n"
    "\n"
    "Input: the patient count M (at most 999) and the threshold, then M pairs of a\n"
    "whole patient number and a rating.\n"
    "Output: one line NUMBER RATING per admitted patient, the number with at least\n"
    "three digits and the rating with one decimal; \"None.\" with no line end when\n"
    "nobody is admitted.\n";

}  // namespace

int main(int argc, char** argv) {
  return console::run({"admitlist", help, job}, argc, argv);
}
