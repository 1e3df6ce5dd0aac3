// Reading lists a test collected: an empty one fails the test with a message
// instead of crashing it.
#pragma once

#include <gtest/gtest.h>

namespace testing_support {

// The newest entry of `list`, or an empty value after a failure that says
// `what` is missing.
template <typename List>
typename List::value_type Last(const List &list, const char *what = "entry")
{
    if (list.isEmpty()) {
        ADD_FAILURE() << "no " << what << " was shown";
        return {};
    }
    return list.last();
}

}  // namespace testing_support
