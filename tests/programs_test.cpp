// Every program as a user runs it: an input on standard input, then the exact standard
// output, standard error and exit status.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "case_name.hpp"
#include "process.hpp"

namespace {

using testing_support::CaseName;

using testing_support::run_program;

struct Case {
  const char* name;
  friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
  const char* program;
  std::string input;
  std::string out;
  std::string err{};
  int status = 0;
};

// A refusal: nothing on standard output, one line on standard error, status 1.
Case refused(const char* name, const char* program, std::string input, const std::string& why) {
  return {name, program, std::move(input), "", std::string(program) + ": " + why + "\n", 1};
}

class ProgramTest : public testing::TestWithParam<Case> {};

TEST_P(ProgramTest, WritesExactlyWhatItShould) {
  const Case& c = GetParam();
  const auto outcome = run_program(c.program, c.input);
  EXPECT_EQ(outcome.out, c.out);
  EXPECT_EQ(outcome.err, c.err);
  EXPECT_EQ(outcome.status, c.status);
}

// Named "<program>_<case>".
struct ProgramCaseName {
  std::string operator()(const testing::TestParamInfo<Case>& c) const {
    return testing_support::test_name(c.param.program) + "_" + c.param.name;
  }
};

// Seven entrants 4 to 10 whose means, 1.33 to 3.33, are below any other in these cases.
const std::string low_rows = "4 0 0 4\n5 0 0 5\n6 0 0 6\n7 0 0 7\n8 0 0 8\n9 0 0 9\n10 0 0 10\n";
const std::string low_lines =
    "10-0-0-10-3.33\n9-0-0-9-3.00\n8-0-0-8-2.67\n7-0-0-7-2.33\n6-0-0-6-2.00\n5-0-0-5-1.67\n"
    "4-0-0-4-1.33\n";
const std::string nine_rows =
    "1 1 1 1\n2 2 2 2\n3 3 3 3\n" + low_rows.substr(0, low_rows.rfind("10 "));

INSTANTIATE_TEST_SUITE_P(
    Meanboard, ProgramTest,
    testing::Values(
        Case{"means_with_two_decimals", "meanboard",
             "7 90 85 80\n2 90 85 81\n3 100 100 99\n" + low_rows,
             "3-100-100-99-99.67\n2-90-85-81-85.33\n7-90-85-80-85.00\n" + low_lines},
        Case{"equal_means_are_not_kept_in_input_order", "meanboard",
             "1 80 80 80\n2 80 80 80\n3 90 90 90\n" + low_rows,
             "3-90-90-90-90.00\n2-80-80-80-80.00\n1-80-80-80-80.00\n" + low_lines},
        Case{"all_means_equal_keep_input_order", "meanboard",
             "1 4 5 6\n2 5 5 5\n3 6 5 4\n4 3 5 7\n5 5 4 6\n6 5 6 4\n7 7 5 3\n8 1 5 9\n9 9 5 1\n10 "
             "0 5 10\n",
             "1-4-5-6-5.00\n2-5-5-5-5.00\n3-6-5-4-5.00\n4-3-5-7-5.00\n5-5-4-6-5.00\n6-5-6-4-5.00\n"
             "7-7-5-3-5.00\n8-1-5-9-5.00\n9-9-5-1-5.00\n10-0-5-10-5.00\n"},
        Case{"negative_mark_keeps_its_sign", "meanboard",
             "5 -1 2 3\n1 -1 -1 -1\n2 -2 -2 -2\n3 -3 -3 -3\n4 -4 -4 -4\n6 -6 -6 -6\n7 -7 -7 -7\n"
             "8 -8 -8 -8\n9 -9 -9 -9\n10 -10 -10 -10\n",
             "5--1-2-3-1.33\n1--1--1--1--1.00\n2--2--2--2--2.00\n3--3--3--3--3.00\n4--4--4--4--4."
             "00\n"
             "6--6--6--6--6.00\n7--7--7--7--7.00\n8--8--8--8--8.00\n9--9--9--9--9.00\n"
             "10--10--10--10--10.00\n"},
        Case{"marks_at_the_32_bit_limits_give_their_true_mean", "meanboard",
             "1 2147483647 2147483647 2147483647\n2 -2147483648 -2147483648 -2147483648\n"
             "3 2147483647 2147483647 -2147483648\n" +
                 low_rows,
             "1-2147483647-2147483647-2147483647-2147483648.00\n"
             "3-2147483647-2147483647--2147483648-715827904.00\n" +
                 low_lines + "2--2147483648--2147483648--2147483648--2147483648.00\n"},
        Case{"values_spread_over_any_white_space", "meanboard",
             "7\t90\v85\f80 2\r\n90\n\n85 81   3 100\r\n100 99 " + low_rows,
             "3-100-100-99-99.67\n2-90-85-81-85.33\n7-90-85-80-85.00\n" + low_lines},
        Case{"nothing_after_the_tenth_entrant_is_read", "meanboard",
             "7 90 85 80\n2 90 85 81\n3 100 100 99\n" + low_rows + "11 100 100 100\nnot numbers",
             "3-100-100-99-99.67\n2-90-85-81-85.33\n7-90-85-80-85.00\n" + low_lines},
        refused("a_letter_for_a_mark", "meanboard", "1 2 3 4\n5 6 7 8\n9 x7 1 1\n",
                "line 3: expected a whole number, found \"x7\""),
        refused("a_decimal_mark", "meanboard", "1 90.5 80 70\n" + low_rows,
                "line 1: expected a whole number, found \".5\""),
        refused(
            "a_mark_beyond_32_bits", "meanboard", "1 2 3 2147483648\n" + low_rows,
            "line 1: expected a whole number from -2147483648 to 2147483647, found \"2147483648\""),
        refused("input_ending_after_nine_entrants", "meanboard", nine_rows,
                "line 9: expected a whole number, found end of input"),
        refused("input_ending_inside_an_entrant", "meanboard", "1 2 3 4\n5 6",
                "line 2: expected a whole number, found end of input"),
        refused("empty_input", "meanboard", "",
                "line 1: expected a whole number, found end of input"),
        Case{"a_byte_order_mark_is_skipped", "meanboard",
             "\xef\xbb\xbf"
             "7 90 85 80\n2 90 85 81\n3 100 100 99\n" +
                 low_rows,
             "3-100-100-99-99.67\n2-90-85-81-85.33\n7-90-85-80-85.00\n" + low_lines},
        refused("utf16_is_refused", "meanboard",
                std::string("\xff\xfe"
                            "7\0",
                            4),
                "line 1: expected text in ASCII or UTF-8, found a UTF-16 byte-order mark (save "
                "the file as UTF-8)")),
    ProgramCaseName{});

// A grid of the given size with every height equal, and its output: every cell.
Case level_grid(const char* name, int rows, int columns) {
  Case c{name, "crestgrid", std::to_string(rows) + " " + std::to_string(columns) + "\n", ""};
  for (int r = 0; r < rows; ++r) {
    for (int col = 0; col < columns; ++col) {
      c.input += "7 ";
      c.out += std::to_string(r) + " " + std::to_string(col) + "\n";
    }
    c.input += "\n";
  }
  return c;
}

INSTANTIATE_TEST_SUITE_P(
    Crestgrid, ProgramTest,
    testing::Values(
        Case{"tops_in_scan_order", "crestgrid", "2 3\n1 2 1\n3 1 4\n", "0 1\n1 0\n1 2\n"},
        level_grid("equal_heights_are_all_tops", 2, 3), level_grid("full_grid", 21, 21),
        Case{"one_cell", "crestgrid", "1 1\n-5\n", "0 0\n"},
        Case{"diagonals_do_not_count", "crestgrid", "3 3\n9 1 9\n1 5 1\n9 1 9\n",
             "0 0\n0 2\n1 1\n2 0\n2 2\n"},
        Case{"heights_compare_as_signed", "crestgrid", "1 3 -2147483648 2147483647 -1", "0 1\n"},
        Case{"single_row_and_column", "crestgrid", "1 4 3 1 1 3\n", "0 0\n0 3\n"},
        Case{"no_rows_reads_nothing_more", "crestgrid", "0 5 x", ""},
        Case{"negative_columns_read_nothing_more", "crestgrid", "3 -2", ""},
        Case{"a_side_above_21_with_the_other_empty", "crestgrid", "22 0", ""},
        refused("more_than_21_rows", "crestgrid", "22 3\n1 2 3\n",
                "line 1: expected at most 21 rows, found 22"),
        refused("more_than_21_columns", "crestgrid", "3\n22\n",
                "line 2: expected at most 21 columns, found 22"),
        refused("rows_checked_before_heights", "crestgrid", "2147483647\n1 x",
                "line 1: expected at most 21 rows, found 2147483647"),
        refused("a_missing_height", "crestgrid", "2 2\n1 2\n3\n",
                "line 3: expected a whole number, found end of input"),
        refused("a_height_that_is_not_whole", "crestgrid", "1 3\n1 2.5 3\n",
                "line 2: expected a whole number, found \".5\""),
        refused("a_height_beyond_32_bits", "crestgrid", "1 1 -2147483649",
                "line 1: expected a whole number from -2147483648 to 2147483647, found "
                "\"-2147483649\"")),
    ProgramCaseName{});

// Patients 1 to 999, all with rating 5.0: all admitted, in input order.
Case full_ward() {
  Case c{"999_patients_of_equal_rating_keep_input_order", "admitlist", "999 5\n", ""};
  for (int i = 1; i <= 999; ++i) {
    c.input += std::to_string(i) + " 5.0\n";
    char line[16];
    std::snprintf(line, sizeof line, "%03d 5.0\n", i);
    c.out += line;
  }
  return c;
}

INSTANTIATE_TEST_SUITE_P(
    Admitlist, ProgramTest,
    testing::Values(
        Case{"admitted_by_decreasing_rating", "admitlist", "3 6.0\n101 7.5\n102 5.9\n103 8.2\n",
             "103 8.2\n101 7.5\n"},
        Case{"rating_equal_to_threshold_is_admitted", "admitlist", "2 6\n1 6.0\n2 5.99\n",
             "001 6.0\n"},
        Case{"equal_ratings_keep_input_order", "admitlist", "4 5\n3 7.0\n1 7\n2 8\n4 7.00\n",
             "002 8.0\n003 7.0\n001 7.0\n004 7.0\n"},
        Case{"numbers_with_at_least_three_digits", "admitlist",
             "4 0\n7 4\n-5 3\n12345 2\n-2147483648 1\n",
             "007 4.0\n-05 3.0\n12345 2.0\n-2147483648 1.0\n"},
        Case{"nobody_admitted", "admitlist", "2 9\n1 1\n2 8.9\n", "None."},
        Case{"no_patients", "admitlist", "0 5", "None."},
        Case{"negative_count", "admitlist", "-3 5\n1 9\n", "None."},
        Case{"read_in_single_precision_reaches_the_threshold", "admitlist", "1 6.0\n1 5.99999999\n",
             "001 6.0\n"},
        Case{"single_precision_rounds_up_when_printed", "admitlist", "1 0.1\n1 0.15\n",
             "001 0.2\n"},
        Case{"exact_halves_print_to_even", "admitlist", "3 0\n1 0.25\n2 0.35\n3 6.25\n",
             "003 6.2\n002 0.3\n001 0.2\n"},
        Case{"negative_and_tiny_ratings", "admitlist", "3 -1\n1 -0.04\n2 1e-50\n3 -0.96\n",
             "002 0.0\n001 -0.0\n003 -1.0\n"},
        Case{"largest_rating", "admitlist", "1 3.4028235e38\n1 3.4028235e38\n",
             "001 340282346638528859811704183484516925440.0\n"},
        full_ward(),
        refused("more_than_999_patients", "admitlist", "1000 5.0\n",
                "line 1: expected at most 999 patients, found 1000"),
        refused("threshold_not_a_number", "admitlist", "1 nan\n1 5\n",
                "line 1: expected a real number, found \"nan\""),
        refused("rating_infinite", "admitlist", "1 5\n1 inf\n",
                "line 2: expected a real number, found \"inf\""),
        refused("rating_beyond_single_precision", "admitlist", "2 5\n1 6\n2 1e39\n",
                "line 3: expected a real number within single precision, found \"1e39\""),
        refused("a_missing_pair", "admitlist", "2 5\n1 6\n",
                "line 2: expected a whole number, found end of input"),
        refused("a_missing_threshold", "admitlist", "2",
                "line 1: expected a real number, found end of input")),
    ProgramCaseName{});

const std::string long_line(255, 'A');

// 99 strands of 254 letters, the most helixmate holds, and what it prints for them.
Case full_strand_table() {
  Case c{"99_strands_of_254_letters", "helixmate", "99\n", ""};
  const std::string letters = "ACGTacgt ACGT";
  for (int i = 0; i < 99; ++i) {
    std::string strand, mate;
    for (int j = 0; j < 254; ++j) {
      const char letter = letters[static_cast<std::size_t>(i + j * 7) % letters.size()];
      strand += letter;
      mate += letter == 'A'   ? 'T'
              : letter == 'T' ? 'A'
              : letter == 'C' ? 'G'
              : letter == 'G' ? 'C'
                              : letter;
    }
    c.input += strand + "\n";
    c.out += mate + "\n";
  }
  return c;
}

INSTANTIATE_TEST_SUITE_P(
    Helixmate, ProgramTest,
    testing::Values(
        Case{"complements_after_reading_all", "helixmate", "2\nATTGCC\nagTC\n", "TAACGG\nagAG\n"},
        Case{"a_byte_order_mark_inside_a_strand_is_kept", "helixmate",
             "\xef\xbb\xbf"
             "1\nA\xef\xbb\xbf"
             "C\n",
             "T\xef\xbb\xbf"
             "G\n"},
        Case{"each_letter_changes_once", "helixmate", "1\nATGCA\n", "TACGT\n"},
        Case{"empty_strand_prints_an_empty_line", "helixmate", "3\nA\n\nG\n", "T\n\nC\n"},
        Case{"text_after_the_count_is_no_strand", "helixmate", "1 ACGT more\nAT\n", "TA\n"},
        Case{"crlf_line_ends", "helixmate", "2\r\nAC\r\nG T\r\n", "TG\nC A\n"},
        Case{"last_strand_without_line_end", "helixmate", "2\nAC\nGT", "TG\nCA\n"},
        Case{"zero_strands", "helixmate", "0", ""},
        Case{"negative_count_reads_no_line", "helixmate", "-1\nAT\n", ""},
        Case{"lines_after_the_last_strand_are_not_read", "helixmate", "1\nAT\n" + long_line,
             "TA\n"},
        full_strand_table(),
        refused("more_than_99_strands", "helixmate", "100\n",
                "line 1: expected at most 99 strands, found 100"),
        refused("a_strand_longer_than_254", "helixmate", "2\nAC\n" + long_line + "\n",
                "line 3: expected a line of at most 254 characters, found a longer one"),
        refused("a_long_rest_of_the_count_line", "helixmate", "1" + long_line + "\nAC\n",
                "line 1: expected a line of at most 254 characters, found a longer one"),
        refused("input_ending_before_the_strands", "helixmate", "3\nAC\nGT\n",
                "line 3: expected a line, found end of input"),
        refused("a_count_that_is_no_number", "helixmate", "two\nAC\nGT\n",
                "line 1: expected a whole number, found \"two\"")),
    ProgramCaseName{});

// Many strands, some with other characters, read across many refills of the input buffer.
Case long_stream() {
  Case c{"many_lines_across_buffer_refills", "helixmate-stream", "20000\n", ""};
  const std::string letters = "ACGTTGCAAGCTTCGAGATACA-x";
  for (int i = 0; i < 20000; ++i) {
    std::string strand, mate;
    for (int j = 0; j < (i * 13) % 255; ++j) {
      const char letter =
          letters[static_cast<std::size_t>(i + j * (i % 5 == 0 ? 1 : 4)) % letters.size()];
      strand += letter;
      if (letter == 'A') mate += 'T';
      if (letter == 'T') mate += 'A';
      if (letter == 'C') mate += 'G';
      if (letter == 'G') mate += 'C';
    }
    c.input += strand + (i % 3 == 0 ? "\r\n" : "\n");
    if (!strand.empty()) c.out += mate + "\n";
  }
  return c;
}

INSTANTIATE_TEST_SUITE_P(
    HelixmateStream, ProgramTest,
    testing::Values(
        Case{"drops_other_characters", "helixmate-stream", "2\nATTGCC\nagTC\n", "TAACGG\nAG\n"},
        Case{"a_byte_order_mark_inside_a_line_is_dropped", "helixmate-stream",
             "\xef\xbb\xbf"
             "1\nA\xef\xbb\xbf"
             "C\n",
             "TG\n"},
        Case{"a_line_without_bases_prints_a_bare_line_end", "helixmate-stream", "1\nxyz\n", "\n"},
        Case{"blanks_after_the_count_print_an_empty_line", "helixmate-stream", "1  \nAT\n",
             "\nTA\n"},
        Case{"an_empty_line_prints_nothing", "helixmate-stream", "3\nA\n\nG\n", "T\nC\n"},
        Case{"the_rest_of_the_count_line_is_converted", "helixmate-stream", "1 AC\nGT\n",
             "TG\nCA\n"},
        Case{"zero_lines_still_reads_the_count_line", "helixmate-stream", "0 GGA", "CCT\n"},
        Case{"zero_lines_at_the_end_of_input", "helixmate-stream", "0", ""},
        Case{"negative_count_reads_no_line", "helixmate-stream", "-2\nAT\n", ""},
        Case{"crlf_line_ends", "helixmate-stream", "1\r\nAC\r\n", "TG\n"},
        Case{"last_line_without_line_end", "helixmate-stream", "1\nGATC", "CTAG\n"}, long_stream(),
        Case{"a_long_line_is_refused_after_earlier_answers", "helixmate-stream",
             "2\nAC\n" + long_line + "\n", "TG\n",
             "helixmate-stream: line 3: expected a line of at most 254 characters, found a longer "
             "one\n",
             1},
        Case{"input_ending_early_is_refused_after_earlier_answers", "helixmate-stream",
             "3\nAC\nGT\n", "TG\nCA\n",
             "helixmate-stream: line 3: expected a line, found end of input\n", 1},
        refused("a_count_beyond_32_bits", "helixmate-stream", "4294967296\nAC\n",
                "line 1: expected a whole number from -2147483648 to 2147483647, found "
                "\"4294967296\"")),
    ProgramCaseName{});

// Standard streams that cannot be read or written are reported like bad input.
struct StreamCase {
  const char* name;
  const char* input;   // a path opened as standard input
  const char* output;  // a path opened as standard output
  const char* err;
  friend void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }
};

class StreamErrorTest : public testing::TestWithParam<StreamCase> {};

TEST_P(StreamErrorTest, IsReportedWithStatusOne) {
  const StreamCase& c = GetParam();
  const int in = open(c.input, O_RDONLY);
  const int out = open(c.output, O_WRONLY);
  ASSERT_TRUE(in >= 0 && out >= 0);
  testing_support::TempFile err;
  const pid_t child = testing_support::spawn("meanboard", in, out, err.fd());
  EXPECT_EQ(testing_support::finish(child, std::chrono::seconds(10)), 1);
  EXPECT_EQ(testing_support::read_all(err.fd()), c.err);
  close(in);
  close(out);
}

INSTANTIATE_TEST_SUITE_P(
    Meanboard, StreamErrorTest,
    testing::Values(StreamCase{"input_is_a_directory", "/", "/dev/null",
                               "meanboard: read error: Is a directory\n"},
                    StreamCase{"output_device_is_full", EXAMPLE_DIR "/meanboard.txt", "/dev/full",
                               "meanboard: write error: No space left on device\n"}),
    CaseName{});

// The whole of a file.
std::string file_text(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file) << path;
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The command line: --help and --version answer without reading the input or pausing; any
// other argument changes nothing but is said to be ignored.
enum class Asked { help, version, nothing };

struct CommandLineCase {
  const char* name;
  friend void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.name; }
  std::vector<std::string> args;
  Asked asked;
};

class CommandLineTest : public testing::TestWithParam<std::tuple<std::string, CommandLineCase>> {};

TEST_P(CommandLineTest, AnswersOrSaysTheArgumentsAreIgnored) {
  const auto& [program, c] = GetParam();
  const testing_support::Launch launch{.args = c.args, .own_process_group = false};
  if (c.asked == Asked::nothing) {
    const std::string example = std::string(EXAMPLE_DIR) + "/" + program;
    const auto outcome = run_program(program, file_text(example + ".txt"), launch);
    EXPECT_EQ(outcome.out, file_text(example + ".expected"));
    EXPECT_EQ(outcome.err, program +
                               ": arguments are ignored; the input is read from standard "
                               "input (" +
                               program + " < FILE)\n");
    EXPECT_EQ(outcome.status, 0);
    return;
  }
  // Standard input a pipe that nobody writes: reading it would wait for ever.
  int never_written[2];
  ASSERT_EQ(pipe(never_written), 0);
  testing_support::TempFile out, err;
  const pid_t child = testing_support::spawn(program, never_written[0], out.fd(), err.fd(), launch);
  EXPECT_EQ(testing_support::finish(child, std::chrono::seconds(10)), 0);
  close(never_written[0]);
  close(never_written[1]);
  const std::string written = testing_support::read_all(out.fd());
  if (c.asked == Asked::help) {
    EXPECT_EQ(written.rfind("Usage: " + program + " < FILE\n", 0), 0u) << written;
    EXPECT_NE(written.find("--version"), std::string::npos) << written;
    EXPECT_NE(written.find("man " + program), std::string::npos) << written;
  } else {
    EXPECT_EQ(written, program + " (console programs) " + CONSOLE_VERSION + "\n");
  }
  EXPECT_EQ(testing_support::read_all(err.fd()), "");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, CommandLineTest,
    testing::Combine(
        testing::ValuesIn(testing_support::programs()),
        testing::Values(CommandLineCase{"help", {"--help"}, Asked::help},
                        CommandLineCase{"help_among_others", {"x", "--help", "y"}, Asked::help},
                        CommandLineCase{"version", {"--version"}, Asked::version},
                        CommandLineCase{"a_file_name", {"input.txt"}, Asked::nothing},
                        CommandLineCase{
                            "help_after_the_end_of_options", {"--", "--help"}, Asked::nothing})),
    [](const testing::TestParamInfo<std::tuple<std::string, CommandLineCase>>& p) {
      return testing_support::test_name(std::get<0>(p.param)) + "_" + std::get<1>(p.param).name;
    });

// Each program's bundled example gives the output stored beside it.
class ExampleTest : public testing::TestWithParam<std::string> {};

TEST_P(ExampleTest, GivesItsExpectedOutput) {
  const std::string base = std::string(EXAMPLE_DIR) + "/" + GetParam();
  const auto outcome = run_program(GetParam(), file_text(base + ".txt"));
  EXPECT_EQ(outcome.out, file_text(base + ".expected"));
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.status, 0);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleTest, testing::ValuesIn(testing_support::programs()),
                         [](const testing::TestParamInfo<std::string>& program) {
                           return testing_support::test_name(program.param);
                         });

}  // namespace
