/* The communication module of the command mode: a shared library
   "smscom.so" ("smscom.dll" on Windows) that exports this one function
   by its plain C name. The program hands it each received message and
   sends what it answers.

   int smscom(int zero, const char* sender, char* replyNumber,
              char* text, const char** status);

   zero         always 0.
   sender       the sender's number, NUL-terminated (at most 49 characters);
                an empty text when the module is polled without a message.
   replyNumber  a buffer of SMSCOM_REPLY_NUMBER_SIZE bytes, all zero on the
                call; the module writes the number to answer to (the first
                SMSCOM_REPLY_NUMBER_USED characters are used) or leaves it
                empty for no answer.
   text         a buffer of SMSCOM_TEXT_SIZE bytes holding the message text
                (GSM 7-bit codes or 8-bit bytes as received), NUL-terminated;
                the module may overwrite it with the answer text.
   status       the module may store the address of a NUL-terminated status
                text of its own here; the program keeps the pointer from one
                call to the next and never frees it.

   Result 0: handled. The program sends the text to the reply number when
   one is given and deletes the message from the phone. Any other value:
   not handled; nothing is sent and the message stays.

   The program terminates both buffers itself after the call and reads no
   further than their sizes. The module is called on the program's one
   thread only. */

#ifndef VONDRIX_SMSCOM_API_H
#define VONDRIX_SMSCOM_API_H

#define SMSCOM_ENTRY_NAME "smscom"
#define SMSCOM_REPLY_NUMBER_SIZE 50
#define SMSCOM_REPLY_NUMBER_USED 25
#define SMSCOM_TEXT_SIZE 1024
#define SMSCOM_SENDER_MAX 49

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*smscom_fn)(int zero, const char* sender, char* replyNumber, char* text,
                         const char** status);

#ifdef __cplusplus
}
#endif

#endif
