// Built as a libcups.so.2 that has none of libcups' functions: what a machine without libcups2
// looks like to the loader of CUPS queues.
extern "C" int qrticket_not_cups() { return 0; }
