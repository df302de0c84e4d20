/* The content plug-in interface of Quillet: what a host program finds by name in the module and
 * the codes it gets back. The one place the interface is written down; the module, the
 * command-line host, the tests, the benchmark and the fuzz targets all include it.
 *
 * A host loads the module (Quillet.wdx64 on Windows, Quillet.wdx on Linux), finds the functions
 * below by their plain names and calls them from any of its threads. Texts are byte strings in
 * the host's ANSI code page (on Linux: the character set of the host's locale), except through
 * ContentGetValueW and ContentStopGetValueW, which take and give UTF-16. */
#ifndef QUILLET_CONTENT_PLUGIN_H
#define QUILLET_CONTENT_PLUGIN_H

#ifdef __cplusplus
extern "C" {
#endif

/* QUILLET_CALL: the calling convention of every function of the interface (the only one there
 * is on 64-bit Windows and on Linux). QUILLET_EXPORT: how the module exports a function. */
#if defined(_WIN32)
#define QUILLET_CALL __stdcall
#define QUILLET_EXPORT __declspec(dllexport)
#else
#define QUILLET_CALL
#define QUILLET_EXPORT __attribute__((visibility("default")))
#endif

/* QuilletWideChar: a UTF-16 code unit, as hosts pass names to the W functions. */
#if defined(_WIN32)
typedef wchar_t QuilletWideChar;
#elif defined(__cplusplus)
typedef char16_t QuilletWideChar;
#else
#include <uchar.h>
typedef char16_t QuilletWideChar;
#endif

/* The type of a field, as ContentGetSupportedField and ContentGetValue answer it, and the form
 * of the value ContentGetValue writes into the host's buffer. ContentGetValueW answers the two
 * UTF-16 forms in place of 8 and 9. */
enum QuilletFieldType {
    QUILLET_FIELD_NUMERIC32 = 1,   /* signed 32-bit integer: 4 bytes */
    QUILLET_FIELD_TIME = 5,        /* hour, minute, second as unsigned 16-bit words: 6 bytes */
    QUILLET_FIELD_BOOLEAN = 6,     /* 32-bit integer 0 or 1: 4 bytes */
    QUILLET_FIELD_STRING = 8,      /* NUL-terminated text, cut to the buffer size less one */
    QUILLET_FIELD_FULL_TEXT = 9,   /* one NUL-terminated piece of a long text */
    QUILLET_FIELD_DATE_TIME = 10,  /* FILETIME, UTC, low 32 bits first: 8 bytes */
    QUILLET_FIELD_STRING_W = 11,   /* NUL-terminated UTF-16, at most maxLen / 2 - 1 units */
    QUILLET_FIELD_FULL_TEXT_W = 12 /* one NUL-terminated UTF-16 piece of a long text */
};

/* The answers besides a field type. */
enum QuilletValueResult {
    QUILLET_NO_MORE_FIELDS = 0, /* ContentGetSupportedField: the index is past the table */
    QUILLET_NO_SUCH_FIELD = -1, /* ContentGetValue: the field index is outside the table */
    QUILLET_FILE_ERROR = -2,    /* ContentGetValue: the file does not exist */
    QUILLET_FIELD_EMPTY = -3    /* ContentGetValue: no value, or the full text has ended */
};

/* The unit index of ContentGetValue steers a full-text transfer: 0 starts it and answers the
 * first piece, any other value but -1 asks for the next piece (answered until the field is
 * empty), and -1 ends it. Only one transfer can be in progress in a process at a time. */
enum QuilletFullTextUnit { QUILLET_FULL_TEXT_FIRST = 0, QUILLET_FULL_TEXT_END = -1 };

/* The number of fields: indexes 0 to QUILLET_FIELD_COUNT - 1. */
enum { QUILLET_FIELD_COUNT = 46 };

/* Writes the expression over file extensions that tells which files to hand over, cut to
 * maxLen - 1 characters. Answers 0. */
QUILLET_EXPORT int QUILLET_CALL ContentGetDetectString(char* detectString, int maxLen);

/* Writes the name and units of field fieldIndex, each cut to maxLen - 1 characters, and answers
 * its QuilletFieldType; QUILLET_NO_MORE_FIELDS past the table, with nothing written. */
QUILLET_EXPORT int QUILLET_CALL ContentGetSupportedField(int fieldIndex, char* fieldName,
                                                         char* units, int maxLen);

/* Writes the value of field fieldIndex of the file into fieldValue, a buffer of maxLen bytes,
 * and answers the field's type or a QuilletValueResult. flags is not used. */
QUILLET_EXPORT int QUILLET_CALL ContentGetValue(const char* fileName, int fieldIndex, int unitIndex,
                                                void* fieldValue, int maxLen, int flags);

/* ContentGetValue for a UTF-16 file name, answering texts in UTF-16: string fields answer
 * QUILLET_FIELD_STRING_W, full-text fields QUILLET_FIELD_FULL_TEXT_W, with pieces of at most
 * maxLen / 2 - 1 code units that never end inside a surrogate pair. Everything else answers as
 * ContentGetValue does. A name holding an unpaired surrogate answers QUILLET_FILE_ERROR. */
QUILLET_EXPORT int QUILLET_CALL ContentGetValueW(const QuilletWideChar* fileName, int fieldIndex,
                                                 int unitIndex, void* fieldValue, int maxLen,
                                                 int flags);

/* Called from another thread: a value of the file being built ends at its next element, and its
 * request answers QUILLET_FIELD_EMPTY. Changes nothing when no value of that file is built. */
QUILLET_EXPORT void QUILLET_CALL ContentStopGetValue(const char* fileName);
QUILLET_EXPORT void QUILLET_CALL ContentStopGetValueW(const QuilletWideChar* fileName);

/* Called just before the module is unloaded: lets go of everything kept between calls. */
QUILLET_EXPORT void QUILLET_CALL ContentPluginUnloading(void);

/* The functions as a host finds them by name. */
typedef int(QUILLET_CALL* ContentGetDetectStringFunction)(char* detectString, int maxLen);
typedef int(QUILLET_CALL* ContentGetSupportedFieldFunction)(int fieldIndex, char* fieldName,
                                                            char* units, int maxLen);
typedef int(QUILLET_CALL* ContentGetValueFunction)(const char* fileName, int fieldIndex,
                                                   int unitIndex, void* fieldValue, int maxLen,
                                                   int flags);
typedef int(QUILLET_CALL* ContentGetValueWFunction)(const QuilletWideChar* fileName, int fieldIndex,
                                                    int unitIndex, void* fieldValue, int maxLen,
                                                    int flags);
typedef void(QUILLET_CALL* ContentStopGetValueFunction)(const char* fileName);
typedef void(QUILLET_CALL* ContentStopGetValueWFunction)(const QuilletWideChar* fileName);
typedef void(QUILLET_CALL* ContentPluginUnloadingFunction)(void);

#ifdef __cplusplus
}
#endif

#endif /* QUILLET_CONTENT_PLUGIN_H */
