// The reader of Access files alone, as both programs start themselves to read one:
// the tests start it in their stead, and a build of it with AddressSanitizer reads
// the damaged files.
#include "adapters/access/access_child.h"

int main(int argc, char* argv[])
{
    constexpr int kNotAsked = 2; // as the programs' command line that cannot be used
    return runAccessChildIfAsked(argc, argv).value_or(kNotAsked);
}
