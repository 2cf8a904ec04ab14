# Copies a text file with Windows line endings, for the players who open it in an
# old Notepad: cmake -DINPUT=file -DOUTPUT=file.txt -P CrLf.cmake
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
