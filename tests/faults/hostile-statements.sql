-- Each statement below turns a good catalogue (30 books, a type, a state) into a hostile one,
-- run straight on the file with its checks off. The line before it names the case and says how
-- opening it must end: "opens", "refused", or the reason the catalogue is refused with.

-- types missing | opens
DROP TABLE types;

-- all tables missing | opens
DROP TABLE types; DROP TABLE states; DROP TABLE books;

-- columns missing | opens
DROP TABLE books; CREATE TABLE books(id INTEGER PRIMARY KEY, titlu TEXT);
INSERT INTO books VALUES (1, 'Only a title');

-- columns of other types | opens
DROP TABLE books; CREATE TABLE books(id REAL, titlu BLOB, autor INTEGER, editura REAL, tip TEXT,
  pagini BLOB, capitole REAL, volume TEXT, publicare BLOB, publicare_volum REAL, citita TEXT,
  calificativ REAL, stare BLOB);
INSERT INTO books VALUES (1.5, x'00ff', 7, 2.5, 'x', x'01', 1e300, 'v', x'', -1e300, 'da', 3.7, x'02');

-- NULL in every column | opens
INSERT INTO books DEFAULT VALUES; INSERT INTO types(tip) VALUES (NULL);
INSERT INTO states(id, stare) VALUES (NULL, NULL);

-- texts in number columns | opens
UPDATE books SET pagini = 'many', tip = 'SF', citita = 'yes', calificativ = 'bun', stare = 'acasa', id = id;

-- numbers out of range | opens
UPDATE books SET calificativ = 200, stare = 255, tip = -5, pagini = 9223372036854775807,
  publicare = -9223372036854775807;
UPDATE types SET id = 2147483647;

-- huge texts | opens
UPDATE books SET titlu = printf('%.100000c', 'x'), autor = printf('%.100000c', 'y');
UPDATE types SET tip = printf('%.100000c', 'z');

-- an index the user added | opens
CREATE INDEX by_pages ON books(pagini);

-- a table replaced by a view | refused
DROP TABLE books; CREATE VIEW books AS SELECT id, tip AS titlu FROM types;

-- views and triggers calling functions | refused
DROP TABLE types; CREATE VIEW types AS SELECT 1 AS id, load_extension('/tmp/x') AS tip;
CREATE TRIGGER t AFTER INSERT ON books BEGIN SELECT load_extension('/tmp/x'); END;
CREATE TRIGGER u BEFORE UPDATE ON books BEGIN SELECT fts3_tokenizer('x'); END;

-- a trigger deleting every book | holds a trigger the program did not make: "wipe"
CREATE TRIGGER wipe AFTER INSERT ON books BEGIN DELETE FROM books; END;

-- the program's trigger name with another body | holds a trigger the program did not make: "books_citita_ins"
DROP TRIGGER books_citita_ins;
CREATE TRIGGER books_citita_ins AFTER INSERT ON books BEGIN DELETE FROM books; END;

-- an endlessly recursive view named books | holds a view in place of its table: "books"
DROP TABLE books;
CREATE VIEW books AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n AS id FROM r;

-- a view named Types | holds a view in place of its table: "Types"
DROP TABLE types; CREATE VIEW Types AS SELECT 1 AS id, 'x' AS tip;
