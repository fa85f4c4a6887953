// Holds the precompiled test headers (testheaders.h) that the test programs share.
