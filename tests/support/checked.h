// Reading lists a test collected: an empty one fails the test with a message
// instead of crashing it.
#pragma once

#include <gtest/gtest.h>

namespace testing_support {

// The newest entry of `list`, or an empty value after a failure.
template <typename List>
typename List::value_type Last(const List &list)
{
    if (list.isEmpty()) {
        ADD_FAILURE() << "the list is empty";
        return {};
    }
    return list.last();
}

}  // namespace testing_support
