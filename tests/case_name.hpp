#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

// Names each case of a value-parameterised test after its `name` field.
struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    return info.param.name;
  }
};

}  // namespace testing_support
