  UPDATE T
	SET C = 1.5E-3,
 D = N'x' WHERE E BETWEEN -.5 AND +2 AND F = 0x1F AND G = 'unclosed