select "a#b", [c#d], `e#f` from t -- #x
/* #y# */ where d=#1/5/2024 7:05:09#'z'